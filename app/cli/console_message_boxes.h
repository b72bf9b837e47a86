#pragma once

// Message boxes on a console: the text as the dialog shows it, with the
// platform's line breaks, on standard output; the error box's text on
// standard error.

#include <iosfwd>
#include <string>

#include "app/message_boxes.h"

namespace norv::app::cli {

class ConsoleMessageBoxes : public MessageBoxes {
 public:
  ConsoleMessageBoxes(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void show(const std::string& text, int style, const std::string& title) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
};

// CR LF as "\n": text-mode streams write the platform's own line break.
std::string with_platform_line_breaks(const std::string& text);

}  // namespace norv::app::cli
