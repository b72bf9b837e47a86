#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/database_lock.h"
#include "platform/error.h"

namespace norv::platform {

namespace {

std::string windows_error_text(DWORD error) {
  return system_error_text(static_cast<int>(error));
}

[[noreturn]] void throw_in_use(const std::filesystem::path& database) {
  throw InUseError(database.string() + " is open in another program; close it and run again");
}

[[noreturn]] void throw_cannot_open(const std::filesystem::path& database, DWORD error) {
  const std::string name = database.string();
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: throw_in_use(database);
    case ERROR_ACCESS_DENIED:
      throw IoError(name + " is read-only, or you may not change it; clear its read-only "
                           "attribute (or ask for write permission) and run again");
    case ERROR_WRITE_PROTECT:
      throw IoError(name + " lies on a read-only drive or share; make it writable and "
                           "run again");
    default:
      throw IoError(name + ": cannot open the database for writing: " +
                    windows_error_text(error));
  }
}

[[noreturn]] void throw_untestable(const std::filesystem::path& database,
                                   const std::filesystem::path& lock_file, DWORD error) {
  throw InUseError(database.string() + " may be open in another program: its lock file " +
                   lock_file.string() + " cannot be checked (" + windows_error_text(error) +
                   "); close every program that uses the database and run again (if none "
                   "does, the lock file is stale: delete it)");
}

// Tries each user-lock byte with a non-blocking exclusive lock and releases
// it at once: a byte Jet holds for a connection cannot be taken.
bool any_user_lock_held(HANDLE lock_file) {
  for (std::uint64_t offset = ldb_first_user_lock; offset <= ldb_last_user_lock; ++offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    if (!LockFileEx(lock_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                    &where))
      return true;
    UnlockFileEx(lock_file, 0, 1, 0, &where);
  }
  return false;
}

void refuse_if_lock_file_in_use(const std::filesystem::path& database) {
  const std::filesystem::path lock_file = find_lock_file(database);
  if (lock_file.empty()) return;
  HANDLE handle = CreateFileW(lock_file.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return;  // the last user just closed the database
    throw_untestable(database, lock_file, error);
  }
  const bool held = any_user_lock_held(handle);
  CloseHandle(handle);
  if (held) throw_in_use(database);
}

}  // namespace

File lock_database_for_update(const std::filesystem::path& database) {
  // Write sharing is denied: Jet (which opens for writing) and another run
  // of this tool cannot open the file until this handle is closed, and one
  // that has it open already makes this open fail. Readers may share.
  HANDLE handle = CreateFileW(database.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw_cannot_open(database, GetLastError());
  File file = File::adopt(database, reinterpret_cast<std::intptr_t>(handle));
  refuse_if_lock_file_in_use(database);
  return file;
}

}  // namespace norv::platform
