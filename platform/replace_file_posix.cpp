#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <utility>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/replace_file.h"

namespace norv::platform {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const fs::path& path, const std::string& what, int error) {
  throw IoError(path.string() + ": cannot " + what + ": " + system_error_text(error) +
                "; check that the folder exists and that the file may be written");
}

// The file a write must replace: the target of a symbolic link, never the
// link itself.
fs::path file_to_replace(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  fs::path target = fs::canonical(path, ec);
  if (ec) fail(path, "follow the symbolic link", ec.value());
  return target;
}

class TemporaryFile {
 public:
  explicit TemporaryFile(const fs::path& beside) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = beside;
      path_ += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) fail(beside, "create a file beside it", errno);
    }
    if (fd_ < 0) fail(beside, "create a file beside it", EEXIST);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(path_.c_str());
  }

  int fd() const { return fd_; }
  const fs::path& path() const { return path_; }

  void close_and_rename(const fs::path& target) {
    int rc = ::close(std::exchange(fd_, -1));
    if (rc != 0) fail(target, "write", errno);
    if (::rename(path_.c_str(), target.c_str()) != 0) fail(target, "replace the file", errno);
    renamed_ = true;
  }

 private:
  fs::path path_;
  int fd_ = -1;
  bool renamed_ = false;
};

void write_all(int fd, std::string_view contents, const fs::path& target) {
  std::size_t done = 0;
  while (done < contents.size()) {
    ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(target, "write", errno);
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

void replace_file(const fs::path& path, std::string_view contents) {
  fs::path target = file_to_replace(path);
  struct stat old {};
  bool existed = ::stat(target.c_str(), &old) == 0;
  if (!existed && errno != ENOENT) fail(target, "examine the file", errno);
  if (existed && !S_ISREG(old.st_mode)) fail(target, "replace it: it is not a regular file", EINVAL);

  TemporaryFile temporary(target);
  if (existed) {
    if (::fchmod(temporary.fd(), old.st_mode & 07777) != 0) fail(target, "keep its permissions", errno);
    // Only the superuser may give the file away; others keep their own.
    (void)!::fchown(temporary.fd(), old.st_uid, old.st_gid);
  }
  write_all(temporary.fd(), contents, target);
  if (::fsync(temporary.fd()) != 0) fail(target, "flush to disk", errno);
  temporary.close_and_rename(target);
  sync_folder(target.parent_path());
}

}  // namespace norv::platform
