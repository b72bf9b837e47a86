#include "platform/system_storage.h"

#include <string>
#include <system_error>

#include "platform/database_lock.h"
#include "platform/error.h"

namespace norv::platform {

namespace {

// A failure of std::filesystem as the system's own text.
std::string text_of(const std::error_code& error) {
#ifdef _WIN32
  if (error.category() == std::system_category())
    return windows_error_text(static_cast<std::uint32_t>(error.value()));
#endif
  return system_error_text(error.value());
}

class SystemFile final : public StorageFile {
 public:
  // `new_name`: the file was just created, and its folder entry is made
  // durable by its first sync.
  explicit SystemFile(File file, bool new_name = false)
      : file_(std::move(file)), new_name_(new_name) {}

  const std::filesystem::path& path() const override { return file_.path(); }
  std::uint64_t size() const override { return file_.size(); }
  void read_at(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    file_.read_at(offset, out);
  }
  void write_at(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    file_.write_at(offset, data);
  }
  void truncate(std::uint64_t size) override { file_.truncate(size); }
  void sync() override {
    file_.sync();
    if (!new_name_) return;
    sync_folder(file_.path().parent_path());
    new_name_ = false;
  }

 private:
  File file_;
  bool new_name_;
};

class SystemStorage final : public Storage {
 public:
  std::unique_ptr<StorageFile> open(const std::filesystem::path& path, FileMode mode) override {
    return std::make_unique<SystemFile>(File::open(path, mode));
  }
  std::unique_ptr<StorageFile> open_for_update(const std::filesystem::path& path) override {
    return std::make_unique<SystemFile>(lock_database_for_update(path));
  }
  std::unique_ptr<StorageFile> create(const std::filesystem::path& path) override {
    return std::make_unique<SystemFile>(File::open(path, FileMode::create_new), true);
  }
  bool exists(const std::filesystem::path& path) override {
    std::error_code error;
    const bool found = std::filesystem::exists(path, error);
    if (error) throw IoError(path.string() + ": cannot tell whether it exists: " + text_of(error));
    return found;
  }
  void remove(const std::filesystem::path& path) override {
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) throw IoError(path.string() + ": cannot remove the file: " + text_of(error));
  }
};

}  // namespace

Storage& system_storage() {
  static SystemStorage storage;
  return storage;
}

}  // namespace norv::platform
