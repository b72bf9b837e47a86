// The engine's own stamp (bench/stamp_loop.h) of the databases the
// side-by-side benchmarks use. Wall time includes the one synced page write
// (see BM_OnePageWrittenAndSynced); CPU time leaves out the wait for the
// disk.

#include <benchmark/benchmark.h>

#include "bench/bench_databases.h"
#include "bench/stamp_loop.h"

namespace {

namespace fs = std::filesystem;

void BM_EngineStampsControl(benchmark::State& state) {
  const fs::path& file =
      state.range(0) == 0 ? norv::bench::small_database() : norv::bench::large_database();
  norv::bench::stamp_control_table(state, file);
  state.counters["file_mib"] = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
}

}  // namespace

// Arg 0: the small database; 1: the one of a few hundred megabytes.
BENCHMARK(BM_EngineStampsControl)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
