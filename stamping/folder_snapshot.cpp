#include "stamping/folder_snapshot.h"

#include <algorithm>
#include <filesystem>

#include "platform/case_fold.h"

namespace norv::stamping {

namespace {

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The native folder that directory + "\" + name lands in, whatever the
// directory text looks like (empty, with a trailing "\", ...).
std::filesystem::path native_folder(const platform::PathMapper& paths,
                                    const std::string& prefix) {
  return paths.to_native(prefix + "x").parent_path();
}

}  // namespace

FolderSnapshot::FolderSnapshot(const platform::PathMapper& paths, std::string directory)
    : prefix_(std::move(directory) + "\\") {
  std::error_code error;
  std::filesystem::directory_iterator entries(native_folder(paths, prefix_), error);
  if (error) {
    // A folder that does not exist holds nothing; one that cannot be read
    // might, so the file system decides.
    if (error == std::errc::no_such_file_or_directory) names_.emplace();
    return;
  }
  std::unordered_set<std::string> names;
  for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    if (error) return;
    names.insert(platform::lower_ascii(entries->path().filename().string()));
  }
  names_ = std::move(names);
}

bool FolderSnapshot::certainly_absent(std::string_view windows_path) const {
  if (!names_ || !windows_path.starts_with(prefix_)) return false;
  std::string_view name = windows_path.substr(prefix_.size());
  // Only ASCII names: an ASCII name equals, without regard to case, only
  // entries that differ from it in ASCII letter case.
  if (name.empty() || !is_ascii(name) || name.find_first_of("\\/") != std::string_view::npos)
    return false;
  return !names_->contains(platform::lower_ascii(name));
}

}  // namespace norv::stamping
