// A database file as it may come from a damaged disk or a half-done copy:
// opening it, listing its catalog and reading every row of every local
// table, checking its indexes and reading the largest value of each column
// through them ends in values or in a norv::Error naming the file, never
// worse.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/database_file.h"
#include "jet/database.h"
#include "platform/error.h"

namespace {

using namespace norv::jet;

bool is_local_table(const CatalogEntry& entry) {
  return entry.kind == CatalogKind::table || entry.kind == CatalogKind::system_table ||
         entry.kind == CatalogKind::access_table;
}

// One table's refusal does not stop the others from being read.
void read_table(const Database& database, const CatalogEntry& entry) {
  try {
    TableInfo table = database.table(entry.name);
    database.for_each_row(table, [](const std::vector<Value>&) {});
    for (const ColumnInfo& column : table.columns) database.max_through_index(table, column);
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  norv::fuzz::write_scratch(data, size);
  try {
    Database database = Database::open(norv::fuzz::scratch_database());
    for (const CatalogEntry& entry : database.catalog()) {
      if (is_local_table(entry)) read_table(database, entry);
    }
    database.check_indexes();
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
  }
  return 0;
}
