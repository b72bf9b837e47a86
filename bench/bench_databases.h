#pragma once

// Databases the side-by-side benchmarks make with the engine's creator, in
// the temporary folder, once per process: a small one with a one-row
// control table, and one of a few hundred megabytes with the same control
// table beside a large history table. Removed when the process ends.

#include <filesystem>

namespace norv::bench {

const std::filesystem::path& small_database();
const std::filesystem::path& large_database();

}  // namespace norv::bench
