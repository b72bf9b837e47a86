#include <windows.h>

#include <chrono>
#include <system_error>

#include "tests/support/file_time.h"

namespace norv::test {

namespace {

namespace fs = std::filesystem;

// 100-nanosecond intervals since 1601-01-01, the unit of FILETIME.
FILETIME file_time_of(fs::file_time_type time) {
  using ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
  constexpr std::int64_t unix_epoch = 116'444'736'000'000'000;  // 1970-01-01
  const auto since_1970 = std::chrono::file_clock::to_sys(time).time_since_epoch();
  const auto value = static_cast<std::uint64_t>(
      std::chrono::duration_cast<ticks>(since_1970).count() + unix_epoch);
  return {static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

}  // namespace

void set_modification_time(const fs::path& path, fs::file_time_type time) {
  // Backup semantics let CreateFile open a folder.
  HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    throw fs::filesystem_error("cannot open to set its time", path,
                               std::error_code(static_cast<int>(GetLastError()),
                                               std::system_category()));
  const FILETIME modified = file_time_of(time);
  const bool set = SetFileTime(handle, nullptr, nullptr, &modified);
  const DWORD error = GetLastError();
  CloseHandle(handle);
  if (!set)
    throw fs::filesystem_error("cannot set the modification time", path,
                               std::error_code(static_cast<int>(error), std::system_category()));
}

}  // namespace norv::test
