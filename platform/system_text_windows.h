#pragma once

// The ANSI functions of Windows take and give text in the system's ANSI
// code page; the program's text is UTF-8. Every text that crosses one
// (settings, registry, message boxes, window texts) goes through these,
// and so does every text of a wide function.
// Windows builds only.

#include <string>
#include <string_view>

namespace norv::platform {

// A text Windows keeps or looks up (a registry key, a profile value, a file
// name) must arrive as it is: one with a character the code page lacks is
// an error (std::runtime_error) that names it, since a '?' or a look-alike
// letter in its place would name something else.
std::string utf8_to_system_ansi(std::string_view utf8);
// A text only shown (a message box) must still show: a character the code
// page lacks becomes its closest look-alike, or '?' when it has none.
std::string utf8_to_system_ansi_for_display(std::string_view utf8);
std::string system_ansi_to_utf8(std::string_view ansi);

// The wide functions' UTF-16 (the command line, the console); a malformed
// sequence becomes U+FFFD.
std::wstring utf8_to_wide(std::string_view utf8);
std::string wide_to_utf8(std::wstring_view wide);

}  // namespace norv::platform
