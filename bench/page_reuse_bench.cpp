// The same rows updated again and again, on databases the creator makes:
// a 10,000-row table whose Version is indexed (the index rebuilt at every
// update) and a 2,000-row Memo table (every long value replaced), Jet 3
// and Jet 4. Each iteration is one update, alternating two values; the
// counters give the file's pages once it was created and after the 1st,
// 10th and 50th update, so that pages an update frees and the next one
// takes again show as a file that stops growing.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/database.h"

namespace {

namespace fs = std::filesystem;
using namespace norv::jet;

constexpr int updates = 50;

ColumnSpec column_of(std::string name, ColumnType type) {
  ColumnSpec spec;
  spec.name = std::move(name);
  spec.type = type;
  spec.size = 50;
  return spec;
}

struct RepeatedUpdate {
  TableSpec table;
  std::string column;
  Value first;
  Value second;
};

RepeatedUpdate indexed_versions() {
  RepeatedUpdate out{{"Company",
                      {column_of("ID", ColumnType::long_integer),
                       column_of("Version", ColumnType::text)},
                      {},
                      {}},
                     "Version",
                     std::string("2.0.1"),
                     std::string("1.9.9")};
  out.table.indexes.push_back({"VersionIdx", {"Version"}, false, false});
  for (std::int32_t id = 1; id <= 10000; ++id) out.table.rows.push_back({id, std::string("1.0")});
  return out;
}

RepeatedUpdate memos() {
  RepeatedUpdate out{{"Notes",
                      {column_of("ID", ColumnType::long_integer),
                       column_of("Notes", ColumnType::memo)},
                      {},
                      {}},
                     "Notes",
                     std::string(3000, 'a'),
                     std::string(3000, 'b')};
  for (std::int32_t id = 1; id <= 2000; ++id)
    out.table.rows.push_back({id, std::string(3000, 'n')});
  return out;
}

// Args: 0 Jet 3, 1 Jet 4; 0 the indexed table, 1 the Memo table.
void BM_RepeatedUpdates(benchmark::State& state) {
  const FormatVersion format = state.range(0) == 0 ? FormatVersion::jet3 : FormatVersion::jet4;
  const RepeatedUpdate update = state.range(1) == 0 ? indexed_versions() : memos();
  DatabaseSpec spec;
  spec.format = format;
  spec.tables.push_back(update.table);
  const fs::path path = fs::temp_directory_path() / "norv-bench-repeated.mdb";
  create_database(path, spec, {.overwrite = true});
  const std::uint32_t page_size = format == FormatVersion::jet3 ? 2048 : 4096;
  const auto pages = [&] { return static_cast<double>(fs::file_size(path) / page_size); };
  state.counters["pages_created"] = pages();
  int done = 0;
  for (auto _ : state) {
    const Value& value = done % 2 == 0 ? update.first : update.second;
    Database::open(path).update_column(update.table.name, update.column, value);
    ++done;
    state.PauseTiming();
    if (done == 1) state.counters["pages_1"] = pages();
    if (done == 10) state.counters["pages_10"] = pages();
    if (done == updates) state.counters["pages_50"] = pages();
    state.ResumeTiming();
  }
  fs::remove(path);
}

}  // namespace

BENCHMARK(BM_RepeatedUpdates)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(updates)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
