#pragma once

// Programs of the system the tests run on, which for the Windows build under
// Wine is Linux: mdbtools is one of them. On Linux and macOS these are plain
// programs; on Windows itself there are none (exit status 127).

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/mdbtools.h"

namespace norv::test {

// Runs argv (no shell) as run_command does, output as the program printed it.
CommandResult run_host_command(const std::vector<std::string>& argv);

// A path as the host's programs name it (under Wine: its Linux path).
std::string host_path(const std::filesystem::path& path);

}  // namespace norv::test
