#include "platform/database_lock.h"

#include <system_error>

#include "platform/folder_entries.h"

namespace norv::platform {

std::filesystem::path find_lock_file(const std::filesystem::path& database) {
  std::filesystem::path exact = database;
  exact.replace_extension(".ldb");
  std::error_code error;
  if (std::filesystem::exists(exact, error)) return exact;

  // Jet names the lock file after the path it was given, so under Wine or on
  // a share its letter case may differ from ours.
  return find_entry_ignoring_case(database.parent_path(), exact.filename().string());
}

}  // namespace norv::platform
