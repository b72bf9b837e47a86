#pragma once

// The ANSI functions of Windows take and give text in the system's ANSI
// code page; the program's text is UTF-8. Every text that crosses one
// (settings, registry, message boxes, window texts) goes through these.
// Windows builds only.

#include <string>
#include <string_view>

namespace norv::platform {

// Characters the code page lacks become '?', as Windows converts them.
std::string utf8_to_system_ansi(std::string_view utf8);
std::string system_ansi_to_utf8(std::string_view ansi);

}  // namespace norv::platform
