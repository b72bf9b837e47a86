#include <windows.h>

#include "platform/error.h"

namespace norv {

std::string windows_error_text(std::uint32_t error_code) {
  wchar_t* message = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error_code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::string text;
  if (length != 0) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, message, static_cast<int>(length), nullptr, 0,
                                    nullptr, nullptr);
    text.resize(static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, message, static_cast<int>(length), text.data(), bytes,
                        nullptr, nullptr);
  }
  LocalFree(message);
  // System messages end in a full stop and a line end; ours continue after them.
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '.' ||
                           text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = "Windows error " + std::to_string(error_code);
  return text;
}

}  // namespace norv
