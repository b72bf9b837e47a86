#include "platform/system_text_windows.h"

#include <windows.h>

#include <stdexcept>

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

// `flags` and `lacking` as WideCharToMultiByte takes them: set `lacking`
// when a character had to become the code page's default character.
std::string from_wide(std::wstring_view wide, UINT code_page, DWORD flags = 0,
                      BOOL* lacking = nullptr) {
  if (wide.empty()) return {};
  int length = ::WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, lacking);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), text.data(),
                        length, nullptr, lacking);
  return text;
}

}  // namespace

// A system whose ANSI code page is UTF-8 holds every character; Windows
// refuses the flags and the report for it.
std::string utf8_to_system_ansi(std::string_view utf8) {
  if (::GetACP() == CP_UTF8) return std::string(utf8);
  BOOL lacking = FALSE;
  std::string ansi = from_wide(to_wide(utf8, CP_UTF8), CP_ACP, WC_NO_BEST_FIT_CHARS, &lacking);
  if (lacking)
    throw std::runtime_error(
        "\"" + std::string(utf8) + "\" cannot be handed to Windows: the system's ANSI code page " +
        std::to_string(::GetACP()) +
        " lacks some of its characters. Use only characters of that code page, or set Windows' "
        "language for non-Unicode programs to one that has them.");
  return ansi;
}

std::string utf8_to_system_ansi_for_display(std::string_view utf8) {
  return from_wide(to_wide(utf8, CP_UTF8), CP_ACP);
}

std::string system_ansi_to_utf8(std::string_view ansi) {
  return from_wide(to_wide(ansi, CP_ACP), CP_UTF8);
}

std::wstring utf8_to_wide(std::string_view utf8) { return to_wide(utf8, CP_UTF8); }

std::string wide_to_utf8(std::wstring_view wide) { return from_wide(wide, CP_UTF8); }

}  // namespace norv::platform
