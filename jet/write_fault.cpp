#include "jet/write_fault.h"

#include <optional>

namespace norv::jet {

namespace {

// One hook per thread: tests run updates on the thread that armed it.
struct Budget {
  std::uint64_t allowed = 0;
  std::uint64_t done = 0;
  bool crashed = false;
};
thread_local std::optional<Budget> armed;

}  // namespace

WriteCrashAfter::WriteCrashAfter(std::uint64_t allowed_writes) {
  armed = Budget{allowed_writes, 0, false};
}

WriteCrashAfter::~WriteCrashAfter() { armed.reset(); }

std::uint64_t WriteCrashAfter::writes_done() const { return armed ? armed->done : 0; }
bool WriteCrashAfter::crashed() const { return armed && armed->crashed; }

void before_page_write() {
  if (!armed) return;
  if (armed->done >= armed->allowed) {
    armed->crashed = true;
    throw SimulatedCrash{armed->done};
  }
  ++armed->done;
}

}  // namespace norv::jet
