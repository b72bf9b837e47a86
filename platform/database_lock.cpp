#include "platform/database_lock.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>

namespace norv::platform {

namespace {

std::string lower_ascii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::filesystem::path find_lock_file(const std::filesystem::path& database) {
  std::filesystem::path exact = database;
  exact.replace_extension(".ldb");
  std::error_code error;
  if (std::filesystem::exists(exact, error)) return exact;

  // Jet names the lock file after the path it was given, so under Wine or on
  // a share its letter case may differ from ours.
  const std::string wanted = lower_ascii(exact.filename().string());
  std::filesystem::path folder = database.parent_path();
  if (folder.empty()) folder = ".";
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return {};
  for (const auto& entry : entries) {
    if (lower_ascii(entry.path().filename().string()) == wanted) return entry.path();
  }
  return {};
}

}  // namespace norv::platform
