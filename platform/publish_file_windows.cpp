#include <windows.h>

#include "platform/error.h"
#include "platform/publish_file.h"

namespace norv::platform {

void publish_file(const std::filesystem::path& built, const std::filesystem::path& target,
                  bool replace) {
  DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExW(built.c_str(), target.c_str(), flags)) return;
  DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
    DeleteFileW(built.c_str());
    throw InvalidArgumentError(target.string() +
                               " already exists; remove it or choose another name");
  }
  throw IoError(target.string() + ": cannot put the new file in place: " +
                system_error_text(static_cast<int>(error)));
}

}  // namespace norv::platform
