#include "app/version_number.h"

namespace norv::app {

bool is_plain_decimal_number(std::string_view text) {
  bool seen_digit = false;
  bool seen_point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      seen_digit = true;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      return false;
    }
  }
  return seen_digit;
}

}  // namespace norv::app
