// The engine's own stamp of the databases the side-by-side benchmarks use:
// open, read the catalog, set the control table's version, durably (the
// update syncs before it returns). Each iteration sets a value other than
// the one the table holds, so each one writes. Wall time includes the one
// synced page write (see BM_OnePageWrittenAndSynced); CPU time leaves out
// the wait for the disk.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_databases.h"
#include "jet/database.h"

namespace {

namespace fs = std::filesystem;

void BM_EngineStampsControl(benchmark::State& state) {
  const fs::path& file =
      state.range(0) == 0 ? norv::bench::small_database() : norv::bench::large_database();
  std::uint64_t iteration = 0;
  norv::jet::IoStats io;
  for (auto _ : state) {
    norv::jet::Database db = norv::jet::Database::open(file);
    benchmark::DoNotOptimize(db.catalog().size());
    const std::string version = ++iteration % 2 == 0 ? "1.0" : "2.0";
    benchmark::DoNotOptimize(db.update_column("Control", "Version", version));
    io = db.io_stats();
  }
  state.counters["pages_read"] = static_cast<double>(io.pages_read);
  state.counters["pages_written"] = static_cast<double>(io.pages_written);
  state.counters["read_kib"] = static_cast<double>(io.bytes_read) / 1024.0;
  state.counters["file_mib"] = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
}

}  // namespace

// Arg 0: the small database; 1: the one of a few hundred megabytes.
BENCHMARK(BM_EngineStampsControl)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
