#pragma once

// A test hook that stands for the process dying between two page writes.
//
// While a WriteCrashAfter is alive, every PageFile counts its page writes;
// the write past the allowed number throws SimulatedCrash instead of writing,
// and so does every write after it. SimulatedCrash is deliberately not a
// std::exception: nothing in the engine or above it catches it, so the
// update stops exactly as a killed process would, leaving what it had
// written (unsynced pages included) in the file.

#include <cstdint>
#include <filesystem>

namespace norv::jet {

struct SimulatedCrash {
  std::uint64_t writes_done = 0;
};

class WriteCrashAfter {
 public:
  explicit WriteCrashAfter(std::uint64_t allowed_writes);
  ~WriteCrashAfter();
  WriteCrashAfter(const WriteCrashAfter&) = delete;
  WriteCrashAfter& operator=(const WriteCrashAfter&) = delete;

  // Page writes that went through so far.
  std::uint64_t writes_done() const;
  // True once a write was stopped.
  bool crashed() const;
};

// A test hook that stands for a full disk: while a DiskFullPast is alive, a
// page write that would make a file longer than `size` bytes fails as the
// system's write does when the disk is full (an IoError; nothing written).
class DiskFullPast {
 public:
  explicit DiskFullPast(std::uint64_t size);
  ~DiskFullPast();
  DiskFullPast(const DiskFullPast&) = delete;
  DiskFullPast& operator=(const DiskFullPast&) = delete;
};

// Called by PageFile before each page write, which ends at byte `end` of
// `file`; throws when a hook says so. A no-op when no hook is armed.
void before_page_write(const std::filesystem::path& file, std::uint64_t end);

}  // namespace norv::jet
