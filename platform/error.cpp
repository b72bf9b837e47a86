#include "platform/error.h"

#include <system_error>

namespace norv {

std::string system_error_text(int error_code) {
  return std::generic_category().message(error_code);
}

}  // namespace norv
