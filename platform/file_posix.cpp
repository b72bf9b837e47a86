#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/error.h"
#include "platform/file.h"

namespace norv::platform {

namespace {

[[noreturn]] void throw_io(const std::filesystem::path& path, const char* what) {
  throw IoError(path.string() + ": cannot " + what + ": " + system_error_text(errno));
}

int descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

File File::open(const std::filesystem::path& path, FileMode mode) {
  // O_NONBLOCK: opening a named pipe must not wait for a writer; for an
  // ordinary file it changes nothing.
  int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  switch (mode) {
    case FileMode::read_only: flags |= O_RDONLY; break;
    case FileMode::read_write: flags |= O_RDWR; break;
    case FileMode::create_new: flags |= O_RDWR | O_CREAT | O_EXCL; break;
  }
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) throw_io(path, mode == FileMode::create_new ? "create the file" : "open the file");
  return File(path, fd);
}

void File::close() noexcept {
  if (handle_ >= 0) ::close(descriptor(handle_));
  handle_ = -1;
}

std::uint64_t File::size() const {
  struct stat st {};
  if (::fstat(descriptor(handle_), &st) != 0) throw_io(path_, "read the file size");
  return static_cast<std::uint64_t>(st.st_size);
}

void File::read_at(std::uint64_t offset, std::span<std::uint8_t> out) const {
  std::size_t done = 0;
  while (done < out.size()) {
    ssize_t n = ::pread(descriptor(handle_), out.data() + done, out.size() - done,
                        static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw_io(path_, "read");
    if (n == 0) throw IoError(path_.string() + ": unexpected end of file");
    done += static_cast<std::size_t>(n);
  }
}

void File::write_at(std::uint64_t offset, std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::pwrite(descriptor(handle_), data.data() + done, data.size() - done,
                         static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw_io(path_, "write");
    done += static_cast<std::size_t>(n);
  }
}

void File::truncate(std::uint64_t size) {
  if (::ftruncate(descriptor(handle_), static_cast<off_t>(size)) != 0) throw_io(path_, "resize");
}

void File::sync() {
#if defined(__APPLE__)
  int rc = ::fsync(descriptor(handle_));
#else
  int rc = ::fdatasync(descriptor(handle_));
#endif
  if (rc != 0) throw_io(path_, "flush to disk");
}

void sync_folder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace norv::platform
