// Updates of indexed columns on databases the creator makes: stamping a
// one-row control table whose Version is indexed (its index one leaf,
// rewritten in place), and setting a column of 100,000 rows with and
// without an index on it (the index rebuilt behind its root page). The
// counters say what each update reads and writes; file_pages shows what
// rebuilt indexes leave behind for a compaction to reclaim.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/stamp_loop.h"
#include "jet/creator.h"

namespace {

namespace fs = std::filesystem;
using namespace norv::jet;

ColumnSpec text_column(std::string name, std::uint16_t size) {
  ColumnSpec spec;
  spec.name = std::move(name);
  spec.type = ColumnType::text;
  spec.size = size;
  return spec;
}

ColumnSpec long_column(std::string name) {
  ColumnSpec spec;
  spec.name = std::move(name);
  spec.type = ColumnType::long_integer;
  return spec;
}

// Table `name` of `rows` rows (ID, Version = "1.0"), Version indexed when
// asked, in a Jet 4 database of its own.
fs::path created(const std::string& file, const std::string& name, std::int32_t rows,
                 bool indexed) {
  TableSpec table{name, {long_column("ID"), text_column("Version", 50)}, {}, {}};
  table.indexes.push_back({"PrimaryKey", {"ID"}, true, true});
  if (indexed) table.indexes.push_back({"VersionIdx", {"Version"}, false, false});
  for (std::int32_t id = 1; id <= rows; ++id) table.rows.push_back({id, std::string("1.0")});
  DatabaseSpec spec;
  spec.tables.push_back(std::move(table));
  const fs::path path = fs::temp_directory_path() / file;
  create_database(path, spec, {.overwrite = true});
  return path;
}

void BM_StampIndexedControl(benchmark::State& state) {
  norv::bench::stamp_control_table(state,
                                   created("norv-bench-indexed-control.mdb", "Control", 1, true));
}

// Arg: 0 Version unindexed, 1 indexed. Every row changes in every
// iteration.
void BM_UpdateHundredThousandRows(benchmark::State& state) {
  const bool indexed = state.range(0) != 0;
  norv::bench::stamp_control_table(
      state, created(indexed ? "norv-bench-100k-indexed.mdb" : "norv-bench-100k.mdb", "Company",
                     100000, indexed),
      {"Company", "Version", {"2.0.1", "1.9"}});
}

}  // namespace

BENCHMARK(BM_StampIndexedControl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateHundredThousandRows)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->UseRealTime();
