#include <windows.h>

#include "platform/path_mapper.h"

namespace norv::platform {

namespace {

// A DOS device name (nul.mdb, com1, ...) reports the attributes of an
// ordinary file; only a handle tells that it is no file on a disk.
bool is_on_disk(const std::filesystem::path& native_path) {
  HANDLE handle = ::CreateFileW(native_path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool disk = ::GetFileType(handle) == FILE_TYPE_DISK;
  ::CloseHandle(handle);
  return disk;
}

}  // namespace

// What Dir with normal attributes lists: no folders, no hidden or system
// files, no devices.
bool is_ordinary_file(const std::filesystem::path& native_path) {
  DWORD attributes = ::GetFileAttributesW(native_path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
  return (attributes & excluded) == 0 && is_on_disk(native_path);
}

}  // namespace norv::platform
