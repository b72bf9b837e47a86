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
#include "bench/stamp_loop.h"

namespace {

namespace fs = std::filesystem;
using norv::bench::stamp_control_table;

fs::path writable_copy(const fs::path& source, const std::string& name) {
  const fs::path target = fs::temp_directory_path() / name;
  fs::copy_file(source, target, fs::copy_options::overwrite_existing);
  fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
  return target;
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
  stamp_control_table(state, writable_copy(source, "norv-bench-stamp-jet3.mdb"),
                      {"MSP_PROJECTS", "PROJ_OPT_CURRENCY_SYMBOL", {"EUR", "kr"}});
}

}  // namespace

BENCHMARK(BM_StampControlTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StampControlTableOfALargeFile)->Arg(75000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StampControlTableJet3)->Unit(benchmark::kMicrosecond);
