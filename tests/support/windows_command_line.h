#pragma once

// A command line for CreateProcessW that the started program's C runtime
// splits back into exactly these arguments (UTF-8 in, UTF-16 out).

#include <string>
#include <vector>

namespace norv::test {

std::wstring windows_command_line(const std::vector<std::string>& argv);

}  // namespace norv::test
