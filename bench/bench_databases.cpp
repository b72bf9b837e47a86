#include "bench/bench_databases.h"

#include <string>
#include <unistd.h>

#include "jet/create/creator.h"

namespace norv::bench {

namespace {

namespace fs = std::filesystem;
using namespace norv::jet;

// History rows of some 12 KB each (a Memo of 6,000 characters, stored in
// long-value pages): 25,000 of them make a file of about 320 MB.
constexpr int kHistoryRows = 25000;
constexpr std::size_t kHistoryText = 6000;

TableSpec control_table() {
  TableSpec t;
  t.name = "Control";
  t.columns = {{.name = "ID", .type = ColumnType::long_integer},
               {.name = "Version", .type = ColumnType::text, .size = 50}};
  t.indexes = {{.name = "PrimaryKey", .columns = {"ID"}, .primary_key = true}};
  t.rows = {{std::int32_t{1}, std::string("0.9")}};
  return t;
}

TableSpec history_table() {
  TableSpec t;
  t.name = "History";
  t.columns = {{.name = "Entry", .type = ColumnType::long_integer},
               {.name = "Text", .type = ColumnType::memo}};
  t.rows.reserve(kHistoryRows);
  for (int n = 0; n < kHistoryRows; ++n) {
    t.rows.push_back({std::int32_t{n}, std::string(kHistoryText, static_cast<char>('a' + n % 26))});
  }
  return t;
}

// The folder of this process's databases, removed at exit.
struct BenchFolder {
  fs::path path = fs::temp_directory_path() / ("norv-bench-" + std::to_string(getpid()));
  BenchFolder() { fs::create_directories(path); }
  ~BenchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

fs::path made(const char* name, bool large) {
  static const BenchFolder folder;
  DatabaseSpec spec;
  spec.tables = {control_table()};
  if (large) spec.tables.push_back(history_table());
  const fs::path path = folder.path / name;
  create_database(path, spec);
  return path;
}

}  // namespace

const fs::path& small_database() {
  static const fs::path path = made("small.mdb", false);
  return path;
}

const fs::path& large_database() {
  static const fs::path path = made("large.mdb", true);
  return path;
}

}  // namespace norv::bench
