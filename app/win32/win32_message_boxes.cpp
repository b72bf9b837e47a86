#include "app/win32/win32_message_boxes.h"

#include "platform/system_text_windows.h"

namespace norv::app::win32 {

void Win32MessageBoxes::show(const std::string& text, int style, const std::string& title) {
  const std::string caption =
      platform::utf8_to_system_ansi_for_display(title.empty() ? kApplicationTitle : title);
  MessageBoxA(owner_, platform::utf8_to_system_ansi_for_display(text).c_str(), caption.c_str(),
              static_cast<UINT>(style));
}

}  // namespace norv::app::win32
