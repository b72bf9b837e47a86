#pragma once

// What one database's page file has read and written, which is how the
// benchmarks prove an operation touches only the pages it needs.

#include <cstdint>

namespace norv::jet {

struct IoStats {
  std::uint64_t pages_read = 0;     // the header's prefix counts as a page
  std::uint64_t pages_written = 0;
  std::uint64_t bytes_read = 0;
};

}  // namespace norv::jet
