#pragma once

// A disk in memory for crash tests. It keeps every write, truncation and
// sync the engine makes, in order (the journal), and rebuilds any file as a
// power loss would leave it: everything up to the last sync durable, of the
// operations since then any subset, reaching the disk in any order. It can
// also be full: a write that would make a file longer than a given size
// fails as the system's write does, writing nothing.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage.h"

namespace norv::test {

struct StorageOperation {
  enum class Kind { write, truncate, sync };
  Kind kind = Kind::write;
  std::uint64_t offset = 0;  // write: where; truncate: the new size
  std::string bytes;         // write: what
};

// A point of power loss: stages before `stage` are durable; of stage
// `stage`'s operations only `surviving` (positions in the journal) reached
// the disk, in that order.
struct PowerLoss {
  std::size_t stage = 0;
  std::vector<std::size_t> surviving;
  std::string describe() const;
};

class PowerLossStorage final : public platform::Storage {
 public:
  PowerLossStorage();
  ~PowerLossStorage() override;
  PowerLossStorage(const PowerLossStorage&) = delete;
  PowerLossStorage& operator=(const PowerLossStorage&) = delete;

  // Puts a copy of the real file `source` at `path`, durable.
  void add_file(const std::filesystem::path& path, const std::filesystem::path& source);
  // Puts a file holding `bytes` at `path`, durable.
  void add_contents(const std::filesystem::path& path, std::string bytes);

  // From now on, a write that would make a file longer than `size` bytes
  // fails with the system's "disk full" IoError.
  void fill_disk_past(std::uint64_t size) { faults_.disk_limit = size; }
  // From now on, after `writes` more writes (to any file), the next
  // `failures` writes fail with the system's input/output error, writing
  // nothing; later ones succeed again.
  void fail_writes_after(std::size_t writes, std::size_t failures) {
    faults_.writes_left = writes;
    faults_.failures_left = failures;
  }

  std::unique_ptr<platform::StorageFile> open(const std::filesystem::path& path,
                                              platform::FileMode mode) override;
  std::unique_ptr<platform::StorageFile> open_for_update(
      const std::filesystem::path& path) override;
  std::unique_ptr<platform::StorageFile> create(const std::filesystem::path& path) override;
  bool exists(const std::filesystem::path& path) override;
  // Whether a file was ever at `path`, removed since or not.
  bool ever_existed(const std::filesystem::path& path) const {
    return files_.contains(path) || removed_.contains(path);
  }
  // A removed file keeps its journal: contents(), journal() and after()
  // still answer for the last file that had the path.
  void remove(const std::filesystem::path& path) override;

  // What the file holds with nothing lost.
  std::string contents(const std::filesystem::path& path) const;
  // Whether a power loss now could undo something: an operation since the
  // last sync.
  bool has_unsynced_operations(const std::filesystem::path& path) const;

  const std::vector<StorageOperation>& journal(const std::filesystem::path& path) const;

  // The journal's stages: runs of writes and truncations, each ended by a
  // sync except perhaps the last. Positions in the journal, [first, end).
  struct Stage {
    std::size_t first = 0;
    std::size_t end = 0;
  };
  std::vector<Stage> stages(const std::filesystem::path& path) const;

  // The file as `loss` leaves it.
  std::string after(const std::filesystem::path& path, const PowerLoss& loss) const;

  // The power losses worth trying, in a fixed order: for a stage of up to
  // `exhaustive_up_to` operations every subset (and, where they overlap,
  // in reverse order too); a longer stage (a table on many pages) would
  // give too many, so at eight cut points spread over it: the operations
  // before the cut, those after it, the one at it alone and all but that
  // one; and eight fixed pseudo-random subsets.
  std::vector<PowerLoss> power_losses(const std::filesystem::path& path,
                                      std::size_t exhaustive_up_to = 6) const;

  // Writes succeed again, and the disk has room.
  void clear_faults() { faults_ = {}; }

  struct State;
  struct Faults {
    std::optional<std::uint64_t> disk_limit;
    std::optional<std::size_t> writes_left;
    std::size_t failures_left = 0;
  };

 private:
  // The file at `path`, or the last removed one that had it.
  State& state(const std::filesystem::path& path) const;
  // The file at `path` now.
  State& live_state(const std::filesystem::path& path) const;

  std::map<std::filesystem::path, std::unique_ptr<State>> files_;
  std::map<std::filesystem::path, std::unique_ptr<State>> removed_;
  Faults faults_;
};

}  // namespace norv::test
