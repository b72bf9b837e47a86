#include "platform/system_storage.h"

#include "platform/database_lock.h"

namespace norv::platform {

namespace {

class SystemFile final : public StorageFile {
 public:
  explicit SystemFile(File file) : file_(std::move(file)) {}

  const std::filesystem::path& path() const override { return file_.path(); }
  std::uint64_t size() const override { return file_.size(); }
  void read_at(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    file_.read_at(offset, out);
  }
  void write_at(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    file_.write_at(offset, data);
  }
  void truncate(std::uint64_t size) override { file_.truncate(size); }
  void sync() override { file_.sync(); }

 private:
  File file_;
};

class SystemStorage final : public Storage {
 public:
  std::unique_ptr<StorageFile> open(const std::filesystem::path& path, FileMode mode) override {
    return std::make_unique<SystemFile>(File::open(path, mode));
  }
  std::unique_ptr<StorageFile> open_for_update(const std::filesystem::path& path) override {
    return std::make_unique<SystemFile>(lock_database_for_update(path));
  }
};

}  // namespace

Storage& system_storage() {
  static SystemStorage storage;
  return storage;
}

}  // namespace norv::platform
