#pragma once

// The program's message boxes on Windows: MessageBoxA with the style as
// given, modal over the window that owns them.

#include <windows.h>

#include <string>

#include "app/message_boxes.h"

namespace norv::app::win32 {

class Win32MessageBoxes final : public MessageBoxes {
 public:
  // `owner`: the window the boxes belong to; it takes no input while a box
  // is open. Null shows the boxes without an owner.
  explicit Win32MessageBoxes(HWND owner) : owner_(owner) {}

  // An empty title shows kApplicationTitle. The text and the title are
  // UTF-8; they reach MessageBoxA in the system's ANSI code page.
  void show(const std::string& text, int style, const std::string& title) override;

 private:
  HWND owner_;
};

}  // namespace norv::app::win32
