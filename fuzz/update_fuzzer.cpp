// An UPDATE on a copy of a damaged database: the engine either refuses it,
// leaving the file byte for byte as it was, or carries it out, and then the
// file opens again and every row of the table holds the new value (when
// the table read whole before), and indexes that were sound before are
// sound after: the column may be indexed, so the update may rewrite its
// index in place or rebuild it. The value's length, picked from the input, decides the kind of update: in
// place, rewritten within the page, moved to another page, or a Memo in
// long-value pages; it is picked by a hash of the whole input, so that
// inputs differing anywhere meet every kind.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/database_file.h"
#include "jet/database.h"
#include "platform/error.h"

namespace {

using namespace norv::jet;

void require(bool condition) {
  if (!condition) std::abort();
}

bool is_text(ColumnType type) { return type == ColumnType::text || type == ColumnType::memo; }

struct Target {
  std::string table;
  std::string column;
  std::size_t max_length = 0;  // characters; 0 for Memo
  bool rows_readable = false;  // every row of the table read before the update
  bool indexes_sound = false;  // the index check found nothing before the update
};

// An update sets one column and leaves the other values' bytes as they
// are, damaged ones too; so only a table that read whole before must
// read whole after.
bool rows_readable(const Database& database, const TableInfo& table) {
  try {
    database.for_each_row(table, [](const std::vector<Value>&) {});
    return true;
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
    return false;
  }
}

bool indexes_sound(const Database& database) {
  try {
    return database.check_indexes().problems.empty();
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
    return false;
  }
}

// The first local table's first Text or Memo column, as a control table's
// Version column would be, indexed or not.
std::optional<Target> find_target(const Database& database) {
  for (const CatalogEntry& entry : database.catalog()) {
    if (entry.kind != CatalogKind::table) continue;
    TableInfo table = database.table(entry.name);
    for (const ColumnInfo& column : table.columns) {
      if (is_text(column.type)) {
        std::size_t max = column.type == ColumnType::text ? column.max_characters : 0;
        return Target{table.name, column.name, max, rows_readable(database, table),
                      indexes_sound(database)};
      }
    }
  }
  return std::nullopt;
}

std::string new_value(const Target& target, std::uint8_t choice) {
  static const std::size_t lengths[] = {3, 40, 255, 1500, 6000};
  std::size_t length = lengths[choice % 5];
  if (target.max_length != 0 && length > target.max_length) length = target.max_length;
  return std::string(length, static_cast<char>('a' + choice % 26));
}

void expect_updated(const Target& target, const std::string& value) {
  Database database = Database::open(norv::fuzz::scratch_database());
  TableInfo table = database.table(target.table);
  std::size_t at = 0;
  while (table.columns.at(at).name != target.column) ++at;
  database.for_each_row(table, [&](const std::vector<Value>& row) {
    const auto* text = std::get_if<std::string>(&row.at(at));
    require(text != nullptr && *text == value);
  });
  if (target.indexes_sound) require(indexes_sound(database));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  const auto choice = static_cast<std::uint8_t>(hash ^ hash >> 8 ^ hash >> 16 ^ hash >> 24);
  norv::fuzz::write_scratch(data, size);
  std::optional<Target> target;
  try {
    target = find_target(Database::open(norv::fuzz::scratch_database()));
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
  }
  if (!target) return 0;
  const std::vector<std::uint8_t> before = norv::fuzz::read_scratch();
  const std::string value = new_value(*target, choice);
  try {
    Database::open(norv::fuzz::scratch_database()).update_column(target->table, target->column, value);
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
    require(norv::fuzz::read_scratch() == before);
    return 0;
  }
  try {
    expect_updated(*target, value);
  } catch (const norv::Error& error) {
    norv::fuzz::require_names_scratch(error);
    require(!target->rows_readable);
  }
  return 0;
}
