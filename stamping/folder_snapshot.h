#pragma once

// The names in one folder, read once, so that a long series of existence
// tests in that folder (the per-company databases BV0000.mdb up to
// BV32767.mdb) needs no file-system call for the names that are not there.
// A name the folder lists is still tested for real, so only absence is
// taken from the snapshot; it holds as long as nobody adds files to the
// folder while the series runs.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/path_mapper.h"

namespace norv::stamping {

class FolderSnapshot {
 public:
  // `directory` is the Windows directory text the paths are built from
  // (directory + "\" + name). When the folder cannot be listed the snapshot
  // knows nothing and every test goes to the file system.
  FolderSnapshot(const platform::PathMapper& paths, std::string directory);

  // True when `windows_path` is directory + "\" + a name that the folder
  // certainly lacks (no entry equal to it without regard to case); false
  // when the file system must be asked.
  bool certainly_absent(std::string_view windows_path) const;

 private:
  std::string prefix_;  // directory + "\"
  std::optional<std::unordered_set<std::string>> names_;  // ASCII-lower-cased entries
};

}  // namespace norv::stamping
