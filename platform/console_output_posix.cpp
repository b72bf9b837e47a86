#include "platform/console_output.h"

namespace norv::platform {

void write_program_text(std::FILE* stream, std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace norv::platform
