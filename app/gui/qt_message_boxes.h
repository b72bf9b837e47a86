#pragma once

// The message boxes of the program: Qt message boxes with the single button
// OK, modal over the window they belong to.

#include <string>

#include "app/message_boxes.h"

class QWidget;

namespace norv::app::gui {

class QtMessageBoxes final : public MessageBoxes {
 public:
  // `parent`: the window the boxes are modal over and centred on; when null,
  // the application's active window at the time a box is shown. A parent
  // must outlive the object.
  explicit QtMessageBoxes(QWidget* parent = nullptr);

  // The icon follows the style's icon flag (none, stop, question,
  // exclamation, information); an empty title shows kApplicationTitle. The
  // text shows as plain text, never as markup; CR LF breaks the line.
  void show(const std::string& text, int style, const std::string& title) override;

 private:
  QWidget* parent_;
};

}  // namespace norv::app::gui
