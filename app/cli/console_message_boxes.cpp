#include "app/cli/console_message_boxes.h"

#include <ostream>

#include "app/update_messages.h"

namespace norv::app::cli {

namespace {

ExitStatus status_of(const std::string& text, int style) {
  if ((style & MB_ICONERROR) != 0) return kExitError;
  if (text == kInvalidVersionMessage || text == kSelectYearMessage) return kExitRefusedInput;
  if (text == kNotInstalledMessage) return kExitNotInstalled;
  if (text == kNoControlTableMessage) return kExitNoControlTable;
  return kExitSummary;
}

}  // namespace

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
  status_ = status_of(text, style);
  std::ostream& stream = status_ == kExitError ? err_ : out_;
  stream << with_platform_line_breaks(text) << '\n' << std::flush;
}

}  // namespace norv::app::cli
