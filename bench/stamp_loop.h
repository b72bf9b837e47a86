#pragma once

// The engine's stamp of a control table, as the stamp benchmarks time it:
// each iteration opens the database, reads its catalog and sets Control's
// Version, durably, to a value other than the one it holds, so that every
// iteration writes. Counters: pages read and written, bytes read (read_kib)
// and the file's size in pages.

#include <benchmark/benchmark.h>

#include <filesystem>

namespace norv::bench {

// The column set, and the two values iterations set it to in turn.
struct StampedColumn {
  const char* table = "Control";
  const char* column = "Version";
  const char* values[2] = {"2.0", "1.0"};
};

// Skips the benchmark, saying so, when `file` does not exist.
void stamp_control_table(benchmark::State& state, const std::filesystem::path& file,
                         const StampedColumn& stamped = {});

}  // namespace norv::bench
