#pragma once

// Running a program as a child process and measuring it as a whole: the
// command line's peak memory, and how much it read, side by side with
// mdbtools' programs on the same files.

#include <cstdint>
#include <string>
#include <vector>

namespace norv::bench {

struct ChildRun {
  int exit_status = -1;
  std::uint64_t peak_rss_kib = 0;  // the child's ru_maxrss
  std::uint64_t bytes_read = 0;    // /proc/<pid>/io rchar: every read(), cached or not
  std::uint64_t wall_us = 0;       // from the fork to its exit, without the measurer's own start
  std::uint64_t cpu_us = 0;        // user and system time
};

// Runs argv (no shell) through measure_child, its output discarded, and
// waits for it. exit_status is -1 when it could not be started.
ChildRun run_child(const std::vector<std::string>& argv);

}  // namespace norv::bench
