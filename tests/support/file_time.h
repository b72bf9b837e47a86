#pragma once

// Setting a modification time, of a folder too: std::filesystem cannot set a
// folder's on Windows, where the C runtime opens only files for it.

#include <filesystem>

namespace norv::test {

// Gives `path` (a file or a folder) the modification time `time`; throws
// std::filesystem::filesystem_error when it cannot.
void set_modification_time(const std::filesystem::path& path,
                           std::filesystem::file_time_type time);

}  // namespace norv::test
