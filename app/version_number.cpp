#include "app/version_number.h"

#include <charconv>
#include <system_error>

namespace norv::app {

namespace {

// Beyond the largest Double (about 1.8E+308) the text is no number the
// run-time conversion can hold: it would overflow in the engine instead.
bool overflows_a_double(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc::result_out_of_range) return false;
  // Out of range on the small side (0.000...1) rounds to zero, no overflow.
  const std::string_view integer_part = text.substr(0, text.find('.'));
  return integer_part.find_first_not_of('0') != std::string_view::npos;
}

}  // namespace

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
  return seen_digit && !overflows_a_double(text);
}

}  // namespace norv::app
