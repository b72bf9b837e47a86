#pragma once

// The files the engine reads and writes, behind one interface, so that a
// test can stand in for the disk: record every write and flush, lose the
// unflushed ones as a power loss would, or fill up. The product's storage
// (system_storage.h) is the operating system's files; nothing in the
// product chooses another one.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "platform/file.h"

namespace norv::platform {

// One open file, read and written at explicit offsets. Every failure is an
// IoError naming the file.
class StorageFile {
 public:
  virtual ~StorageFile() = default;

  virtual const std::filesystem::path& path() const = 0;
  virtual std::uint64_t size() const = 0;

  // Reads exactly out.size() bytes; a short read is an IoError.
  virtual void read_at(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
  // Either writes all of `data` or throws. What it wrote may be lost by a
  // power loss until sync() returns.
  virtual void write_at(std::uint64_t offset, std::span<const std::uint8_t> data) = 0;
  virtual void truncate(std::uint64_t size) = 0;

  // Returns once everything written and truncated so far is on stable
  // storage.
  virtual void sync() = 0;
};

class Storage {
 public:
  virtual ~Storage() = default;

  // Throws IoError naming the path when the file cannot be opened.
  virtual std::unique_ptr<StorageFile> open(const std::filesystem::path& path,
                                            FileMode mode) = 0;

  // The file opened for writing, and locked against other writers for as
  // long as the returned file is open (database_lock.h says how, and what
  // it throws).
  virtual std::unique_ptr<StorageFile> open_for_update(const std::filesystem::path& path) = 0;

  // A new, empty file at `path`, open for reading and writing; an IoError
  // when one exists or it cannot be made. Its name is durable, with its
  // contents, once its first sync() has returned.
  virtual std::unique_ptr<StorageFile> create(const std::filesystem::path& path) = 0;

  // Whether a file exists at `path`; an IoError when that cannot be told.
  virtual bool exists(const std::filesystem::path& path) = 0;

  // Removes the (closed) file at `path`; an IoError when it cannot. Whether
  // the removal survives a power loss is not promised: callers must not
  // depend on it.
  virtual void remove(const std::filesystem::path& path) = 0;
};

}  // namespace norv::platform
