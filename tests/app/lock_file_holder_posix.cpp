// Stands for another program that has a database open in shared mode, as
// Jet does: it creates the lock file beside the database (same stem,
// extension .ldb) unless there is one, holds one user's byte-range lock in
// it with fcntl, then creates READY and waits to be stopped by a signal.
//
//   lock_file_holder DATABASE READY

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// The first user byte of an .ldb; Jet takes one per connection from here.
constexpr off_t kFirstUserLock = 0x10000001;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATABASE READY\n", argv[0]);
    return 2;
  }
  const std::filesystem::path lock_file = std::filesystem::path(argv[1]).replace_extension(".ldb");
  const int fd = ::open(lock_file.c_str(), O_RDWR | O_CREAT, 0644);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = kFirstUserLock;
  lock.l_len = 1;
  if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0) {
    std::perror(lock_file.c_str());
    return 1;
  }
  std::ofstream(argv[2]) << "ready\n";
  for (;;) ::pause();
}
