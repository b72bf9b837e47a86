#include "app/cli/console_message_boxes.h"

#include <ostream>

namespace norv::app::cli {

std::string with_platform_line_breaks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

void ConsoleMessageBoxes::show(const std::string& text, int style, const std::string&) {
  std::ostream& stream = (style & MB_ICONERROR) != 0 ? err_ : out_;
  stream << with_platform_line_breaks(text) << '\n' << std::flush;
}

}  // namespace norv::app::cli
