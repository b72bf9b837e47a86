#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/error.h"
#include "platform/replace_file.h"

namespace norv::platform {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const fs::path& path, const std::string& what) {
  throw IoError(path.string() + ": cannot " + what + ": " +
                system_error_text(static_cast<int>(::GetLastError())) +
                "; check that the folder exists and that the file may be written");
}

void write_flushed(const fs::path& temporary, std::string_view contents, const fs::path& target) {
  HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail(target, "create a file beside it");
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < contents.size()) {
    DWORD chunk = static_cast<DWORD>((std::min<std::size_t>)(contents.size() - done, 1u << 30));
    DWORD written = 0;
    ok = ::WriteFile(file, contents.data() + done, chunk, &written, nullptr) != 0;
    done += written;
  }
  ok = ok && ::FlushFileBuffers(file) != 0;
  DWORD error = ::GetLastError();
  ::CloseHandle(file);
  if (!ok) {
    ::DeleteFileW(temporary.c_str());
    ::SetLastError(error);
    fail(target, "write");
  }
}

}  // namespace

void replace_file(const fs::path& path, std::string_view contents) {
  fs::path temporary = path;
  temporary += L".tmp-" + std::to_wstring(::GetCurrentProcessId());
  write_flushed(temporary, contents, path);
  // ReplaceFileW keeps the old file's attributes and security; a new file
  // is simply moved into place.
  bool existed = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  bool ok = existed ? ::ReplaceFileW(path.c_str(), temporary.c_str(), nullptr,
                                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                    : ::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) {
    DWORD error = ::GetLastError();
    ::DeleteFileW(temporary.c_str());
    ::SetLastError(error);
    fail(path, "replace the file");
  }
}

}  // namespace norv::platform
