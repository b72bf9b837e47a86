#include <windows.h>

#include "platform/path_mapper.h"

namespace norv::platform {

// What Dir with normal attributes lists: no folders, no hidden or system
// files.
bool is_ordinary_file(const std::filesystem::path& native_path) {
  DWORD attributes = ::GetFileAttributesW(native_path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
  return (attributes & excluded) == 0;
}

}  // namespace norv::platform
