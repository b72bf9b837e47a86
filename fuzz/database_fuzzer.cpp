// A database file as it may come from a damaged disk or a half-done copy:
// opening it, listing its catalog and reading every row of every local
// table, checking its indexes and reading the largest value of each column
// through them ends in values or in a norv::Error naming the file, never
// worse; and where the rows read, the largest value through an index is
// never above theirs, and is theirs where the index check finds the
// table's indexes sound.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/value_order.h"
#include "fuzz/database_file.h"
#include "jet/database.h"
#include "platform/error.h"

namespace {

using namespace norv::jet;

bool is_local_table(const CatalogEntry& entry) {
  return entry.kind == CatalogKind::table || entry.kind == CatalogKind::system_table ||
         entry.kind == CatalogKind::access_table;
}

// The largest value of each column over the rows (Null where none), for
// the columns that have an order.
std::vector<Value> max_of_rows(const Database& database, const TableInfo& table) {
  std::vector<Value> max(table.columns.size(), Value{Null{}});
  database.for_each_row(table, [&](const std::vector<Value>& row) {
    for (std::size_t i = 0; i < row.size() && i < max.size(); ++i) {
      if (!norv::data::is_ordered_type(table.columns[i].type) || is_null(row[i])) continue;
      if (is_null(max[i]) || norv::data::compare_values(row[i], max[i]) > 0) max[i] = row[i];
    }
  });
  return max;
}

// MAX through an index answers only with the value of a row the rows
// include, so never above their maximum; and where the index check finds
// the table's indexes sound, with their maximum itself. (A damaged row
// whose index entry still holds its old value is beyond what the index
// can see without reading every row.)
void require_index_max_of_rows(const Database& database, const TableInfo& table,
                               const std::vector<Value>& rows_max, bool indexes_sound) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const std::optional<Value> indexed = database.max_through_index(table, table.columns[i]);
    if (!indexed) continue;
    if (!is_null(*indexed) &&
        (is_null(rows_max[i]) || norv::data::compare_values(*indexed, rows_max[i]) > 0))
      std::abort();
    if (!indexes_sound) continue;
    if (is_null(*indexed) != is_null(rows_max[i])) std::abort();
    if (!is_null(*indexed) && norv::data::compare_values(*indexed, rows_max[i]) != 0) std::abort();
  }
}

// One table's refusal does not stop the others from being read.
void read_table(const Database& database, const CatalogEntry& entry, bool indexes_sound) {
  try {
    const TableInfo table = database.table(entry.name);
    const std::vector<Value> rows_max = max_of_rows(database, table);
    require_index_max_of_rows(database, table, rows_max, indexes_sound);
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
  }
}

// The tables the index check found a problem in; nullopt when it was
// refused.
std::optional<std::set<std::string>> tables_with_index_problems(const Database& database) {
  try {
    std::set<std::string> tables;
    for (const IndexProblem& problem : database.check_indexes().problems)
      tables.insert(problem.table);
    return tables;
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  norv::fuzz::write_scratch(data, size);
  try {
    Database database = Database::open(norv::fuzz::scratch_database());
    const auto unsound = tables_with_index_problems(database);
    for (const CatalogEntry& entry : database.catalog()) {
      if (!is_local_table(entry)) continue;
      read_table(database, entry, unsound && !unsound->contains(entry.name));
    }
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
  }
  return 0;
}
