#pragma once

// Paths to and from the program's text, UTF-8, on every platform. A path
// made from or turned into a plain std::string would be in the ANSI code
// page on Windows, which lacks most letters and is not the program's text.

#include <filesystem>
#include <string>
#include <string_view>

namespace norv::platform {

std::filesystem::path path_from_utf8(std::string_view utf8);
std::string utf8_of(const std::filesystem::path& path);

}  // namespace norv::platform
