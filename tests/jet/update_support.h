#pragma once

// What the update tests check after every write: the changed column holds
// the new value in every row, every other value of the file reads as
// before, and mdbtools reads the same as the engine.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/format/table_def.h"
#include "jet/types/value.h"

namespace norv::jet {

using TableRows = std::vector<std::vector<Value>>;
using DatabaseRows = std::map<std::string, TableRows>;  // every local table, by name

DatabaseRows read_all_tables(const std::filesystem::path& db);

// Adds a test failure unless `db` reads as `before` with `column` of every
// row of `table` set to `value`, and mdbtools agrees on every user table.
void expect_updated(const std::filesystem::path& db, const DatabaseRows& before,
                    const std::string& table, const std::string& column, const Value& value);

// Adds a test failure unless both readers read `db` as `before`.
void expect_unchanged(const std::filesystem::path& db, const DatabaseRows& before);

// Each value of `column` in `table` (engine's reading).
std::vector<Value> column_values(const std::filesystem::path& db, const std::string& table,
                                 const std::string& column);

// A column for the creator's tables in these tests: `size` is a Text
// column's length, ignored by the other types.
ColumnSpec column(std::string name, ColumnType type, std::uint16_t size = 50);

// The whole file, for byte-for-byte comparisons.
std::string file_bytes(const std::filesystem::path& file);

}  // namespace norv::jet

namespace norv::jet {

// Adds a test failure unless `db` reads (with both readers) as `before`
// where every value of `column` in `table` is either its old value or
// `value`: the state a crash between two page writes may leave. With
// `stale_keys_allowed` (an indexed column) an index entry may hold the key
// of the row's other value, the index pages and the row pages being written
// apart.
void expect_old_or_new(const std::filesystem::path& db, const DatabaseRows& before,
                       const std::string& table, const std::string& column, const Value& value,
                       bool stale_keys_allowed = false);

// Live (not deleted) rows on long-value pages, over the whole file.
std::size_t live_long_value_rows(const std::filesystem::path& db);

// The definition of `table` as the file holds it.
TableDef definition_of(const std::filesystem::path& db, const std::string& table);

// The pages `table`'s page map lists.
std::vector<std::uint32_t> owned_pages(const std::filesystem::path& db, const std::string& table);

}  // namespace norv::jet
