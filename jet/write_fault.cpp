#include "jet/write_fault.h"

#include <cerrno>
#include <optional>

#include "platform/error.h"

namespace norv::jet {

namespace {

// One hook per thread: tests run updates on the thread that armed it.
struct Budget {
  std::uint64_t allowed = 0;
  std::uint64_t done = 0;
  bool crashed = false;
};
thread_local std::optional<Budget> armed;
thread_local std::optional<std::uint64_t> disk_limit;

}  // namespace

WriteCrashAfter::WriteCrashAfter(std::uint64_t allowed_writes) {
  armed = Budget{allowed_writes, 0, false};
}

WriteCrashAfter::~WriteCrashAfter() { armed.reset(); }

std::uint64_t WriteCrashAfter::writes_done() const { return armed ? armed->done : 0; }
bool WriteCrashAfter::crashed() const { return armed && armed->crashed; }

DiskFullPast::DiskFullPast(std::uint64_t size) { disk_limit = size; }

DiskFullPast::~DiskFullPast() { disk_limit.reset(); }

void before_page_write(const std::filesystem::path& file, std::uint64_t end) {
  if (disk_limit && end > *disk_limit)
    throw IoError(file.string() + ": cannot write: " + system_error_text(ENOSPC));
  if (!armed) return;
  if (armed->done >= armed->allowed) {
    armed->crashed = true;
    throw SimulatedCrash{armed->done};
  }
  ++armed->done;
}

}  // namespace norv::jet
