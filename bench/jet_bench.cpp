// What the engine reads to open a database, list its catalog and read a
// one-row table. The counters are pages read per iteration: opening and
// listing must read only the header and the catalog's pages; a one-row
// table a bounded number of pages whatever the size of the database.
//
// The databases are the shared fixtures (skipped when absent), a copy of
// one grown to a hundred thousand pages, and databases the creator makes
// with a table of up to a hundred thousand rows beside the one-row table,
// that table also read whole from a plain and from an encoded copy (what
// decoding every page costs).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "bench/stamp_loop.h"
#include "jet/create/creator.h"
#include "jet/database.h"

namespace {

namespace fs = std::filesystem;
using norv::bench::grown_copy;
using norv::bench::shared_fixture;

// A database made by the creator: a one-row Control table beside a table of
// `rows` rows, encoded with `encoding_key` unless it is 0.
fs::path database_with_big_table(std::int32_t rows, std::uint32_t encoding_key = 0) {
  using namespace norv::jet;
  const fs::path target =
      fs::temp_directory_path() / ("norv-bench-big-" + std::to_string(rows) + "-" +
                                   std::to_string(encoding_key) + ".mdb");
  DatabaseSpec spec;
  spec.encoding_key = encoding_key;
  TableSpec big{"Big", {{.name = "ID", .type = ColumnType::long_integer},
                        {.name = "Note", .type = ColumnType::text, .size = 100}}, {}, {}};
  for (std::int32_t id = 1; id <= rows; ++id)
    big.rows.push_back({id, std::string("row ") + std::to_string(id) + std::string(60, '.')});
  spec.tables.push_back(std::move(big));
  spec.tables.push_back({"Control", {{.name = "ID", .type = ColumnType::long_integer},
                                     {.name = "Version", .type = ColumnType::text}}, {},
                         {{1, std::string("0.9")}}});
  create_database(target, spec, {.overwrite = true});
  return target;
}

bool require(benchmark::State& state, const fs::path& file) {
  if (fs::exists(file)) return true;
  state.SkipWithError(("fixture not found: " + file.string()).c_str());
  return false;
}

void report_pages(benchmark::State& state, const norv::jet::Database& db) {
  state.counters["pages_read"] = static_cast<double>(db.io_stats().pages_read);
  state.counters["file_pages"] = static_cast<double>(db.page_count());
}

void open_and_list(benchmark::State& state, const fs::path& file) {
  if (!require(state, file)) return;
  for (auto _ : state) {
    norv::jet::Database db = norv::jet::Database::open(file);
    benchmark::DoNotOptimize(db.catalog().size());
    report_pages(state, db);
  }
}

void read_table(benchmark::State& state, const fs::path& file, const std::string& name) {
  if (!require(state, file)) return;
  for (auto _ : state) {
    norv::jet::Database db = norv::jet::Database::open(file);
    const norv::jet::TableInfo table = db.table(name);
    std::size_t rows = 0;
    db.for_each_row(table, [&](const std::vector<norv::jet::Value>&) { ++rows; });
    benchmark::DoNotOptimize(rows);
    report_pages(state, db);
  }
}

void read_control_table(benchmark::State& state, const fs::path& file) {
  read_table(state, file, "Control");
}

void BM_OpenAndListTables(benchmark::State& state) {
  open_and_list(state, shared_fixture("V2000/control-text.mdb"));
}
void BM_OpenAndListTablesOfALongCatalog(benchmark::State& state) {
  open_and_list(state, shared_fixture("V2000/many-tables.mdb"));
}
void BM_OpenAndListTablesJet3(benchmark::State& state) {
  open_and_list(state, shared_fixture("V1997/testV1997.mdb"));
}
void BM_ReadOneRowTable(benchmark::State& state) {
  read_control_table(state, shared_fixture("V2000/control-text.mdb"));
}
void BM_ReadOneRowTableOfALongCatalog(benchmark::State& state) {
  read_control_table(state, shared_fixture("V2000/many-tables.mdb"));
}
void BM_ReadOneRowTableOfAGrownFile(benchmark::State& state) {
  if (!require(state, shared_fixture("V2000/control-text.mdb"))) return;
  read_control_table(state, grown_copy(static_cast<std::uint32_t>(state.range(0))));
}
void BM_ReadOneRowTableBesideABigTable(benchmark::State& state) {
  read_control_table(state, database_with_big_table(static_cast<std::int32_t>(state.range(0))));
}
// Argument 1: the rows; argument 2: 1 for an encoded file.
void BM_ReadBigTable(benchmark::State& state) {
  const std::uint32_t key = state.range(1) != 0 ? 0x5EED1234 : 0;
  read_table(state, database_with_big_table(static_cast<std::int32_t>(state.range(0)), key),
             "Big");
}
// The stamp of the one-row Control beside that table, plain and encoded
// (argument 2: 1 for an encoded file): what decoding and encoding the pages
// it reads and writes costs.
void BM_StampControlBesideABigTable(benchmark::State& state) {
  const std::uint32_t key = state.range(1) != 0 ? 0x5EED1234 : 0;
  norv::bench::stamp_control_table(
      state, database_with_big_table(static_cast<std::int32_t>(state.range(0)), key));
}
void BM_ReadThreeThousandRows(benchmark::State& state) {
  read_control_table(state, shared_fixture("V2000/control-multipage.mdb"));
}

}  // namespace

BENCHMARK(BM_OpenAndListTables);
BENCHMARK(BM_OpenAndListTablesOfALongCatalog);
BENCHMARK(BM_OpenAndListTablesJet3);
BENCHMARK(BM_ReadOneRowTable);
BENCHMARK(BM_ReadOneRowTableOfALongCatalog);
BENCHMARK(BM_ReadOneRowTableOfAGrownFile)->Arg(1000)->Arg(100000);
BENCHMARK(BM_ReadOneRowTableBesideABigTable)->Arg(100)->Arg(100000);
BENCHMARK(BM_ReadBigTable)->Args({100000, 0})->Args({100000, 1});
BENCHMARK(BM_StampControlBesideABigTable)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadThreeThousandRows);
