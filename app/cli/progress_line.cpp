#include "app/cli/progress_line.h"

namespace norv::app::cli {

std::size_t line_width(const std::string& text) {
  std::size_t width = 0;
  for (unsigned char byte : text)
    if ((byte & 0xC0) != 0x80) ++width;  // continuation bytes add no character
  return width;
}

std::string replacing_line(std::size_t shown_width, const std::string& next,
                           bool clears_with_escape) {
  if (clears_with_escape) return "\r\033[K" + next;
  const std::size_t width = line_width(next);
  std::string text = "\r" + next;
  if (shown_width > width) text.append(shown_width - width, ' ');
  if (next.empty()) text += '\r';
  return text;
}

}  // namespace norv::app::cli
