// Stamping a one-row control table: what the engine reads and writes, and
// how long it takes, in a tiny database and in one of some 300 MB. The
// update must read only the header, the catalog's pages and the table's
// own pages, write only the changed page, and take about as long whatever
// the size of the file. Each iteration opens the database and sets a value
// other than the one it holds, so every iteration writes and syncs.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_files.h"
#include "jet/database.h"

namespace {

namespace fs = std::filesystem;

fs::path writable_copy(const fs::path& source, const std::string& name) {
  const fs::path target = fs::temp_directory_path() / name;
  fs::copy_file(source, target, fs::copy_options::overwrite_existing);
  fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
  return target;
}

void report_io(benchmark::State& state, const norv::jet::Database& db) {
  const norv::jet::IoStats io = db.io_stats();
  state.counters["pages_read"] = static_cast<double>(io.pages_read);
  state.counters["pages_written"] = static_cast<double>(io.pages_written);
  state.counters["read_kib"] = static_cast<double>(io.bytes_read) / 1024.0;
}

void stamp_control_table(benchmark::State& state, const fs::path& file) {
  if (!fs::exists(file)) {
    state.SkipWithError(("fixture not found: " + file.string()).c_str());
    return;
  }
  std::uint64_t iteration = 0;
  for (auto _ : state) {
    norv::jet::Database db = norv::jet::Database::open(file);
    const std::string version = ++iteration % 2 == 0 ? "1.0" : "2.0";
    benchmark::DoNotOptimize(db.update_column("Control", "Version", version));
    report_io(state, db);
    state.counters["file_pages"] = static_cast<double>(db.page_count());
  }
}

void BM_StampControlTable(benchmark::State& state) {
  const fs::path source = norv::bench::shared_fixture("V2000/control-text.mdb");
  if (!fs::exists(source)) return stamp_control_table(state, source);
  stamp_control_table(state, writable_copy(source, "norv-bench-stamp.mdb"));
}

void BM_StampControlTableOfALargeFile(benchmark::State& state) {
  if (!fs::exists(norv::bench::shared_fixture("V2000/control-text.mdb")))
    return stamp_control_table(state, norv::bench::shared_fixture("V2000/control-text.mdb"));
  stamp_control_table(state, norv::bench::grown_copy(static_cast<std::uint32_t>(state.range(0))));
}

void BM_StampControlTableJet3(benchmark::State& state) {
  // A Jet 3 table of one row stands in for a Jet 3 control table.
  const fs::path source = norv::bench::shared_fixture("V1997/test2V1997.mdb");
  if (!fs::exists(source)) return stamp_control_table(state, source);
  const fs::path copy = writable_copy(source, "norv-bench-stamp-jet3.mdb");
  std::uint64_t iteration = 0;
  for (auto _ : state) {
    norv::jet::Database db = norv::jet::Database::open(copy);
    const std::string symbol = ++iteration % 2 == 0 ? "kr" : "EUR";
    benchmark::DoNotOptimize(db.update_column("MSP_PROJECTS", "PROJ_OPT_CURRENCY_SYMBOL", symbol));
    report_io(state, db);
  }
}

}  // namespace

BENCHMARK(BM_StampControlTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StampControlTableOfALargeFile)->Arg(75000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StampControlTableJet3)->Unit(benchmark::kMicrosecond);
