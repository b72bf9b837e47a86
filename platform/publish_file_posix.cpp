#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/publish_file.h"

namespace norv::platform {

namespace {

[[noreturn]] void fail(const std::filesystem::path& target, int error) {
  throw IoError(target.string() + ": cannot put the new file in place: " + system_error_text(error));
}

[[noreturn]] void refuse_existing(const std::filesystem::path& built,
                                  const std::filesystem::path& target) {
  ::unlink(built.c_str());
  throw InvalidArgumentError(target.string() +
                             " already exists; remove it or choose another name");
}

}  // namespace

void publish_file(const std::filesystem::path& built, const std::filesystem::path& target,
                  bool replace) {
  if (replace) {
    if (::rename(built.c_str(), target.c_str()) != 0) fail(target, errno);
  } else if (::link(built.c_str(), target.c_str()) == 0) {
    // A hard link never replaces an existing file, so nothing can slip in
    // between a check and the move.
    ::unlink(built.c_str());
  } else if (errno == EEXIST) {
    refuse_existing(built, target);
  } else {
    // File systems without hard links (FAT, some shares): check, then move.
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) refuse_existing(built, target);
    if (::rename(built.c_str(), target.c_str()) != 0) fail(target, errno);
  }
  sync_folder(target.parent_path());
}

}  // namespace norv::platform
