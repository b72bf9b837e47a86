#pragma once

// A file read and written at explicit offsets. The engine's page file sits
// on top of it; nothing here knows about pages.

#include <cstdint>
#include <filesystem>
#include <span>
#include <utility>

namespace norv::platform {

enum class FileMode {
  read_only,
  read_write,
  create_new,  // fails when the file exists
};

class File {
 public:
  // Throws IoError naming the path when the file cannot be opened.
  static File open(const std::filesystem::path& path, FileMode mode);

  // Takes ownership of a handle opened elsewhere (a descriptor on POSIX, a
  // HANDLE on Windows), e.g. one the database lock opened with a sharing
  // mode of its own.
  static File adopt(std::filesystem::path path, std::intptr_t native_handle) {
    return File(std::move(path), native_handle);
  }

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  std::uint64_t size() const;

  // Reads exactly out.size() bytes; a short read is an IoError.
  void read_at(std::uint64_t offset, std::span<std::uint8_t> out) const;
  void write_at(std::uint64_t offset, std::span<const std::uint8_t> data);
  void truncate(std::uint64_t size);

  // Returns once the written data is on stable storage.
  void sync();

  const std::filesystem::path& path() const { return path_; }

 private:
  File(std::filesystem::path path, std::intptr_t handle);
  void close() noexcept;

  std::filesystem::path path_;
  std::intptr_t handle_ = -1;
};

// Makes the entries of `folder` durable: a file created, renamed or removed
// in it survives a power loss once this returns. Where the system cannot
// open a folder (or keeps its entries durable itself, as Windows does) it
// does nothing: the change stands, only its durability is less certain.
void sync_folder(const std::filesystem::path& folder);

}  // namespace norv::platform
