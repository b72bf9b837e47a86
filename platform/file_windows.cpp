#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/path_text.h"

namespace norv::platform {

namespace {

// Paths are UTF-8 inside the program, whatever the ANSI code page is.
std::string display_path(const std::filesystem::path& path) { return utf8_of(path); }

[[noreturn]] void throw_io(const std::filesystem::path& path, const char* what,
                           DWORD error = GetLastError()) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    throw InUseError(display_path(path) + ": cannot " + what +
                     ": the file is open in another program; close it and run again");
  throw IoError(display_path(path) + ": cannot " + what + ": " + windows_error_text(error));
}

HANDLE native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// ReadFile and WriteFile take 32-bit counts; larger spans go in pieces.
DWORD chunk_size(std::size_t remaining) {
  return static_cast<DWORD>(
      std::min<std::size_t>(remaining, std::numeric_limits<DWORD>::max() / 2));
}

OVERLAPPED at_offset(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

}  // namespace

File File::open(const std::filesystem::path& path, FileMode mode) {
  DWORD access = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case FileMode::read_only: break;
    case FileMode::read_write: access |= GENERIC_WRITE; break;
    case FileMode::create_new:
      access |= GENERIC_WRITE;
      disposition = CREATE_NEW;
      break;
  }
  // Others may read and write beside us, as with a POSIX descriptor; a
  // program that opened the file without sharing makes this call fail.
  HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    throw_io(path, mode == FileMode::create_new ? "create the file" : "open the file");
  return File(path, reinterpret_cast<std::intptr_t>(handle));
}

void File::close() noexcept {
  if (handle_ != -1) CloseHandle(native(handle_));
  handle_ = -1;
}

std::uint64_t File::size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(native(handle_), &size)) throw_io(path_, "read the file size");
  return static_cast<std::uint64_t>(size.QuadPart);
}

void File::read_at(std::uint64_t offset, std::span<std::uint8_t> out) const {
  std::size_t done = 0;
  while (done < out.size()) {
    OVERLAPPED position = at_offset(offset + done);
    DWORD n = 0;
    if (!ReadFile(native(handle_), out.data() + done, chunk_size(out.size() - done), &n,
                  &position)) {
      DWORD error = GetLastError();
      if (error != ERROR_HANDLE_EOF) throw_io(path_, "read", error);
    }
    if (n == 0) throw IoError(display_path(path_) + ": unexpected end of file");
    done += n;
  }
}

void File::write_at(std::uint64_t offset, std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    OVERLAPPED position = at_offset(offset + done);
    DWORD n = 0;
    if (!WriteFile(native(handle_), data.data() + done, chunk_size(data.size() - done), &n,
                   &position))
      throw_io(path_, "write");
    done += n;
  }
}

void File::truncate(std::uint64_t size) {
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(native(handle_), end, nullptr, FILE_BEGIN) ||
      !SetEndOfFile(native(handle_)))
    throw_io(path_, "resize");
}

void File::sync() {
  if (!FlushFileBuffers(native(handle_))) throw_io(path_, "flush to disk");
}

// NTFS and FAT journal or write through their folder entries; there is no
// folder flush to ask for.
void sync_folder(const std::filesystem::path&) {}

}  // namespace norv::platform
