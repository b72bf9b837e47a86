#include "platform/system_text_windows.h"

#include <windows.h>

namespace norv::platform {

namespace {

std::wstring to_wide(std::string_view text, UINT code_page) {
  if (text.empty()) return {};
  int length = ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  return wide;
}

std::string from_wide(std::wstring_view wide, UINT code_page) {
  if (wide.empty()) return {};
  int length = ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        length, nullptr, nullptr);
  return text;
}

}  // namespace

std::string utf8_to_system_ansi(std::string_view utf8) {
  return from_wide(to_wide(utf8, CP_UTF8), CP_ACP);
}

std::string system_ansi_to_utf8(std::string_view ansi) {
  return from_wide(to_wide(ansi, CP_ACP), CP_UTF8);
}

std::wstring utf8_to_wide(std::string_view utf8) { return to_wide(utf8, CP_UTF8); }

std::string wide_to_utf8(std::wstring_view wide) { return from_wide(wide, CP_UTF8); }

}  // namespace norv::platform
