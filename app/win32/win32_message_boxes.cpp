#include "app/win32/win32_message_boxes.h"

namespace norv::app::win32 {

void Win32MessageBoxes::show(const std::string& text, int style, const std::string& title) {
  const char* caption = title.empty() ? kApplicationTitle : title.c_str();
  MessageBoxA(owner_, text.c_str(), caption, static_cast<UINT>(style));
}

}  // namespace norv::app::win32
