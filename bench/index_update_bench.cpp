// Updates of indexed columns on databases the creator makes: stamping a
// one-row control table whose Version is indexed (its index one leaf,
// rewritten in place), and setting a column of 100,000 rows with and
// without an index on it (the index rebuilt behind its root page). The
// counters say what each update reads and writes; file_pages shows what
// rebuilt indexes leave behind for a compaction to reclaim. And MAX of a
// numbered column of 100,000 rows, through its index and by a scan.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/stamp_loop.h"
#include "jet/create/creator.h"
#include "jet/database.h"

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

// Arg: 0 by reading every row, 1 through the primary key on ID.
void BM_MaxOfAHundredThousandRows(benchmark::State& state) {
  const bool through_index = state.range(0) != 0;
  const fs::path file = created("norv-bench-100k-max.mdb", "Company", 100000, false);
  IoStats io;
  for (auto _ : state) {
    const Database db = Database::open(file);
    const TableInfo table = db.table("Company");
    const ColumnInfo& id = table.columns.front();
    Value max = Null{};
    if (through_index) {
      max = db.max_through_index(table, id).value();
    } else {
      db.for_each_row(table, [&](const std::vector<Value>& row) {
        if (is_null(max) || std::get<std::int32_t>(row.front()) > std::get<std::int32_t>(max))
          max = row.front();
      });
    }
    benchmark::DoNotOptimize(max);
    io = db.io_stats();
  }
  state.counters["pages_read"] = static_cast<double>(io.pages_read);
}

}  // namespace

BENCHMARK(BM_MaxOfAHundredThousandRows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StampIndexedControl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateHundredThousandRows)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->UseRealTime();
