#pragma once

// Finds a real message box of Windows on the screen, reads it and presses
// its OK button, as a person looking at the desktop would: the tests see the
// box that MessageBoxA put up, not what the program meant to show.

#include <windows.h>

#include <optional>
#include <string>

namespace norv::test {

struct ShownMessageBox {
  HWND box = nullptr;
  HWND owner = nullptr;
  std::string title;
  std::string text;
  HICON icon = nullptr;  // null when the box shows none
};

// Waits up to `timeout_ms` for a visible message box of the process
// `process_id` owned by `owner` (any owner when null) and reads it.
std::optional<ShownMessageBox> wait_for_message_box(DWORD process_id, HWND owner,
                                                    int timeout_ms = 20000);

// Presses the box's OK button.
void press_ok(const ShownMessageBox& box);

}  // namespace norv::test
