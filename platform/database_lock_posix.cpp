#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/database_lock.h"
#include "platform/error.h"

namespace norv::platform {

namespace {

[[noreturn]] void throw_cannot_open(const std::filesystem::path& database, int error) {
  const std::string name = database.string();
  switch (error) {
    case EACCES:
    case EPERM:
      throw IoError(name + " is read-only, or you may not change it; make the file writable "
                           "(or ask for write permission) and run again");
    case EROFS:
      throw IoError(name + " lies on a read-only drive or share; make it writable and "
                           "run again");
    default:
      throw IoError(name + ": cannot open the database for writing: " +
                    system_error_text(error));
  }
}

[[noreturn]] void throw_in_use(const std::filesystem::path& database) {
  throw InUseError(database.string() + " is open in another program; close it and run again");
}

[[noreturn]] void throw_untestable(const std::filesystem::path& database,
                                   const std::filesystem::path& lock_file, int error) {
  throw InUseError(database.string() + " may be open in another program: its lock file " +
                   lock_file.string() + " cannot be checked (" + system_error_text(error) +
                   "); close every program that uses the database and run again (if none "
                   "does, the lock file is stale: delete it)");
}

[[noreturn]] void throw_not_a_lock_file(const std::filesystem::path& database,
                                        const std::filesystem::path& lock_file) {
  throw InUseError(database.string() + " may be open in another program: its lock file " +
                   lock_file.string() +
                   " is not an ordinary file (a pipe, a device or a folder) and cannot be "
                   "checked; close every program that uses the database, remove " +
                   lock_file.filename().string() + " and run again");
}

// Asks whether any process holds a lock on Jet's user-lock bytes, without
// taking one: F_OFD_GETLK also reports locks held by this very process (a
// Jet running in it), F_GETLK only those of others.
int query_user_locks(int fd, struct flock& probe) {
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = static_cast<off_t>(ldb_first_user_lock);
  probe.l_len = static_cast<off_t>(ldb_last_user_lock - ldb_first_user_lock + 1);
  probe.l_pid = 0;
#ifdef F_OFD_GETLK
  if (::fcntl(fd, F_OFD_GETLK, &probe) == 0) return 0;
  if (errno != EINVAL) return errno;
  probe.l_type = F_WRLCK;
  probe.l_pid = 0;
#endif
  return ::fcntl(fd, F_GETLK, &probe) == 0 ? 0 : errno;
}

void refuse_if_lock_file_in_use(const std::filesystem::path& database) {
  const std::filesystem::path lock_file = find_lock_file(database);
  if (lock_file.empty()) return;
  // Without O_NONBLOCK a lock file that is a named pipe would wait for a
  // writer for ever; a device could do anything on open.
  const int fd = ::open(lock_file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT) return;  // the last user just closed the database
    throw_untestable(database, lock_file, errno);
  }
  struct stat status {};
  const bool ordinary = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  struct flock probe {};
  const int error = ordinary ? query_user_locks(fd, probe) : 0;
  ::close(fd);
  if (!ordinary) throw_not_a_lock_file(database, lock_file);
  if (error != 0) throw_untestable(database, lock_file, error);
  if (probe.l_type != F_UNLCK) throw_in_use(database);
}

}  // namespace

File lock_database_for_update(const std::filesystem::path& database) {
  const int fd = ::open(database.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) throw_cannot_open(database, errno);
  File file = File::adopt(database, fd);

  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
    throw IoError(database.string() + " is not an ordinary file; check the path and run again");
  // A file nobody may write is read-only (that is how Wine shows the
  // read-only attribute), even to a user whom the system would let write it.
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) throw_cannot_open(database, EACCES);

  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK)
      throw InUseError(database.string() +
                       " is being updated by another run of this tool; wait for it to finish "
                       "and run again");
    throw IoError(database.string() + " cannot be locked for the update (" +
                  system_error_text(errno) +
                  "); copy it to a drive that supports file locks and run again");
  }
  refuse_if_lock_file_in_use(database);
  return file;
}

}  // namespace norv::platform
