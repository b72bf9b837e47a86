#include "tests/support/power_loss_storage.h"

#include <algorithm>
#include <cerrno>
#include <random>

#include "platform/error.h"
#include "tests/support/temp_dir.h"

namespace norv::test {

struct PowerLossStorage::State {
  std::string initial;  // durable before the first operation
  std::string current;
  std::vector<StorageOperation> journal;
  bool locked = false;  // open for an update
};

namespace {

using Kind = StorageOperation::Kind;

void replay(std::string& file, const StorageOperation& operation) {
  switch (operation.kind) {
    case Kind::write:
      // A write past the end leaves a hole of zeros, as on a real disk.
      if (file.size() < operation.offset + operation.bytes.size())
        file.resize(operation.offset + operation.bytes.size(), '\0');
      file.replace(operation.offset, operation.bytes.size(), operation.bytes);
      break;
    case Kind::truncate: file.resize(operation.offset, '\0'); break;
    case Kind::sync: break;
  }
}

bool overlap(const StorageOperation& a, const StorageOperation& b) {
  if (a.kind == Kind::truncate || b.kind == Kind::truncate) return true;
  return a.offset < b.offset + b.bytes.size() && b.offset < a.offset + a.bytes.size();
}

[[noreturn]] void refuse(const std::filesystem::path& path, const std::string& what) {
  throw IoError(path.string() + ": cannot " + what);
}

class MemoryFile final : public platform::StorageFile {
 public:
  MemoryFile(std::filesystem::path path, PowerLossStorage::State& state, bool writable,
             bool locks, PowerLossStorage::Faults& faults)
      : path_(std::move(path)),
        state_(&state),
        writable_(writable),
        locks_(locks),
        faults_(&faults) {}
  ~MemoryFile() override {
    if (locks_) state_->locked = false;
  }

  const std::filesystem::path& path() const override { return path_; }
  std::uint64_t size() const override { return state_->current.size(); }

  void read_at(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    if (offset + out.size() > state_->current.size())
      throw IoError(path_.string() + ": unexpected end of file");
    std::copy_n(state_->current.begin() + static_cast<std::ptrdiff_t>(offset), out.size(),
                out.begin());
  }

  void write_at(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    if (!writable_) refuse(path_, "write: the file is open for reading only");
    const std::uint64_t end = offset + data.size();
    if (faults_->disk_limit && end > state_->current.size() && end > *faults_->disk_limit)
      refuse(path_, "write: " + system_error_text(ENOSPC));
    if (faults_->writes_left && (*faults_->writes_left)-- == 0) {
      faults_->writes_left = 0;
      if (faults_->failures_left == 0) {
        faults_->writes_left.reset();
      } else {
        --faults_->failures_left;
        refuse(path_, "write: " + system_error_text(EIO));
      }
    }
    record(StorageOperation{Kind::write, offset, std::string(data.begin(), data.end())});
  }

  void truncate(std::uint64_t size) override {
    if (!writable_) refuse(path_, "resize: the file is open for reading only");
    record(StorageOperation{Kind::truncate, size, {}});
  }

  void sync() override { record(StorageOperation{Kind::sync, 0, {}}); }

 private:
  void record(StorageOperation operation) {
    replay(state_->current, operation);
    state_->journal.push_back(std::move(operation));
  }

  std::filesystem::path path_;
  PowerLossStorage::State* state_;
  bool writable_;
  bool locks_;
  PowerLossStorage::Faults* faults_;
};

}  // namespace

std::string PowerLoss::describe() const {
  std::string text = "power loss in stage " + std::to_string(stage) + ", operations on disk:";
  for (std::size_t position : surviving) text += " " + std::to_string(position);
  if (surviving.empty()) text += " none";
  return text;
}

PowerLossStorage::PowerLossStorage() = default;
PowerLossStorage::~PowerLossStorage() = default;

void PowerLossStorage::add_file(const std::filesystem::path& path,
                                const std::filesystem::path& source) {
  auto added = std::make_unique<State>();
  added->initial = read_file(source);
  added->current = added->initial;
  files_.insert_or_assign(path, std::move(added));
}

void PowerLossStorage::add_contents(const std::filesystem::path& path, std::string bytes) {
  auto added = std::make_unique<State>();
  added->initial = std::move(bytes);
  added->current = added->initial;
  files_.insert_or_assign(path, std::move(added));
}

PowerLossStorage::State& PowerLossStorage::state(const std::filesystem::path& path) const {
  auto found = files_.find(path);
  if (found != files_.end()) return *found->second;
  if (auto removed = removed_.find(path); removed != removed_.end()) return *removed->second;
  throw IoError(path.string() + ": cannot open the file: " + system_error_text(ENOENT));
}

PowerLossStorage::State& PowerLossStorage::live_state(const std::filesystem::path& path) const {
  auto found = files_.find(path);
  if (found == files_.end())
    throw IoError(path.string() + ": cannot open the file: " + system_error_text(ENOENT));
  return *found->second;
}

std::unique_ptr<platform::StorageFile> PowerLossStorage::create(
    const std::filesystem::path& path) {
  return open(path, platform::FileMode::create_new);
}

bool PowerLossStorage::exists(const std::filesystem::path& path) {
  return files_.contains(path);
}

void PowerLossStorage::remove(const std::filesystem::path& path) {
  auto found = files_.find(path);
  if (found == files_.end())
    throw IoError(path.string() + ": cannot remove the file: " + system_error_text(ENOENT));
  removed_.insert_or_assign(path, std::move(found->second));
  files_.erase(found);
}

std::unique_ptr<platform::StorageFile> PowerLossStorage::open(const std::filesystem::path& path,
                                                              platform::FileMode mode) {
  if (mode == platform::FileMode::create_new) {
    if (files_.contains(path)) refuse(path, "create the file: " + system_error_text(EEXIST));
    files_.emplace(path, std::make_unique<State>());
  }
  return std::make_unique<MemoryFile>(path, live_state(path),
                                      mode != platform::FileMode::read_only, false, faults_);
}

std::unique_ptr<platform::StorageFile> PowerLossStorage::open_for_update(
    const std::filesystem::path& path) {
  State& file = live_state(path);
  if (file.locked) throw InUseError(path.string() + ": is being updated by another run");
  file.locked = true;
  return std::make_unique<MemoryFile>(path, file, true, true, faults_);
}

std::string PowerLossStorage::contents(const std::filesystem::path& path) const {
  return state(path).current;
}

bool PowerLossStorage::has_unsynced_operations(const std::filesystem::path& path) const {
  const std::vector<StorageOperation>& journal = state(path).journal;
  return !journal.empty() && journal.back().kind != Kind::sync;
}

const std::vector<StorageOperation>& PowerLossStorage::journal(
    const std::filesystem::path& path) const {
  return state(path).journal;
}

std::vector<PowerLossStorage::Stage> PowerLossStorage::stages(
    const std::filesystem::path& path) const {
  const std::vector<StorageOperation>& journal = state(path).journal;
  std::vector<Stage> out;
  std::size_t first = 0;
  for (std::size_t i = 0; i <= journal.size(); ++i) {
    if (i < journal.size() && journal[i].kind != Kind::sync) continue;
    if (i > first) out.push_back({first, i});
    first = i + 1;
  }
  return out;
}

std::string PowerLossStorage::after(const std::filesystem::path& path,
                                    const PowerLoss& loss) const {
  const State& file = state(path);
  const std::size_t stage_start = stages(path).at(loss.stage).first;
  std::string bytes = file.initial;
  for (std::size_t i = 0; i < stage_start; ++i) replay(bytes, file.journal[i]);
  for (std::size_t position : loss.surviving) replay(bytes, file.journal.at(position));
  return bytes;
}

std::vector<PowerLoss> PowerLossStorage::power_losses(const std::filesystem::path& path,
                                                      std::size_t exhaustive_up_to) const {
  const std::vector<StorageOperation>& journal = state(path).journal;
  const std::vector<Stage> all = stages(path);
  std::vector<PowerLoss> out;
  for (std::size_t s = 0; s < all.size(); ++s) {
    const std::size_t first = all[s].first;
    const std::size_t n = all[s].end - first;
    auto add = [&](auto keeps) {
      PowerLoss loss{s, {}};
      for (std::size_t i = 0; i < n; ++i)
        if (keeps(i)) loss.surviving.push_back(first + i);
      bool reorder_matters = false;
      for (std::size_t a = 0; a < loss.surviving.size(); ++a)
        for (std::size_t b = a + 1; b < loss.surviving.size(); ++b)
          reorder_matters |= overlap(journal[loss.surviving[a]], journal[loss.surviving[b]]);
      out.push_back(loss);
      if (reorder_matters) {
        std::reverse(loss.surviving.begin(), loss.surviving.end());
        out.push_back(std::move(loss));
      }
    };
    if (n <= exhaustive_up_to) {
      for (std::uint64_t mask = 0; mask < (std::uint64_t{1} << n); ++mask)
        add([mask](std::size_t i) { return (mask >> i & 1) != 0; });
      continue;
    }
    // At most `samples` cut points, spread evenly over the stage, the first
    // and the last always among them.
    constexpr std::size_t samples = 8;
    std::vector<std::size_t> cuts;
    for (std::size_t j = 0; j < samples; ++j) cuts.push_back(1 + j * (n - 2) / (samples - 1));
    for (std::size_t k : cuts) {
      add([k](std::size_t i) { return i < k; });   // the first k reached the disk
      add([k](std::size_t i) { return i >= k; });  // the last n - k did
      add([k](std::size_t i) { return i == k; });  // only one did
      add([k](std::size_t i) { return i != k; });  // all but one did
    }
    // mt19937's output is fixed by the standard, so every run tries the
    // same subsets.
    std::mt19937 bits(static_cast<std::uint32_t>(0x5EED + s));
    for (std::size_t round = 0; round < samples; ++round) {
      std::vector<bool> keep(n);
      for (std::size_t i = 0; i < n; ++i) keep[i] = (bits() & 1) != 0;
      add([&keep](std::size_t i) { return keep[i]; });
    }
  }
  return out;
}

}  // namespace norv::test
