#include "platform/file.h"

#include <utility>

// What a File is on every system: a path and a native handle it owns, with
// close() (per system) giving the handle back.

namespace norv::platform {

File::File(std::filesystem::path path, std::intptr_t handle)
    : path_(std::move(path)), handle_(handle) {}

File::File(File&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

File::~File() { close(); }

}  // namespace norv::platform
