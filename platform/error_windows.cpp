#include <windows.h>

#include "platform/error.h"
#include "platform/system_text_windows.h"

namespace norv {

std::string windows_error_text(std::uint32_t error_code) {
  wchar_t* message = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error_code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::string text;
  if (length != 0) text = platform::wide_to_utf8(std::wstring_view(message, length));
  LocalFree(message);
  // System messages end in a full stop and a line end; ours continue after them.
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '.' ||
                           text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = "Windows error " + std::to_string(error_code);
  return text;
}

}  // namespace norv
