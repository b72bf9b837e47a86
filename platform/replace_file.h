#pragma once

#include <filesystem>
#include <string_view>

namespace norv::platform {

// Gives the file at `path` the new contents so that a crash at any moment
// leaves either the old file or the new one, never a mixture: the contents
// are written beside it, flushed to stable storage and renamed over it. An
// existing file keeps its permissions (and its owner, where the system
// allows); a symbolic link keeps pointing at its target, which is the file
// replaced. A missing file is created; its folder must exist.
// Throws IoError naming the path when anything fails; the old file is then
// untouched and nothing is left behind.
void replace_file(const std::filesystem::path& path, std::string_view contents);

}  // namespace norv::platform
