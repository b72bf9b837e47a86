#include "tests/jet/update_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "jet/database.h"
#include "jet/format/data_page.h"
#include "jet/format/header.h"
#include "jet/format/text_codec.h"
#include "jet/format/usage_map.h"
#include "jet/pager/page_file.h"
#include "tests/jet/mdbtools_agreement.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {

namespace {

bool is_local(CatalogKind kind) {
  return kind == CatalogKind::table || kind == CatalogKind::system_table ||
         kind == CatalogKind::access_table;
}

std::size_t column_index(const TableInfo& table, const std::string& column) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (table.columns[i].name == column) return i;
  ADD_FAILURE() << "no column " << column << " in " << table.name;
  return 0;
}

void expect_mdbtools_agrees(const std::filesystem::path& db,
                            RowMatch match = RowMatch::any_order) {
  if (!test::mdbtools_available()) return;
  const Database database = Database::open(db);
  for (const CatalogEntry& entry : database.catalog())
    if (entry.kind == CatalogKind::table) compare_table(database, entry.name, match);
}

// Every index still matches its table: an update that moved a row or
// rewrote a page must leave each entry pointing at its row.
// With `stale_keys_allowed` an entry may hold the key of the row's other
// value (old or new), as after a crash between the row's page write and
// the index page's, and the index's usage map may list pages of its other
// tree (a rebuilt tree's pages before its root switches to them, the old
// tree's until they are released): everything else must hold.
void expect_indexes_sound(const std::filesystem::path& db, bool stale_keys_allowed = false) {
  const IndexCheckReport report = Database::open(db).check_indexes();
  for (const IndexProblem& problem : report.problems)
    if (!stale_keys_allowed || !(problem.what.starts_with("the entry of row ") ||
                                 problem.what.starts_with("the index's usage map holds page ")))
      ADD_FAILURE() << db << ": table " << problem.table << ", index " << problem.index << ": "
                  << problem.what;
}

}  // namespace

DatabaseRows read_all_tables(const std::filesystem::path& db) {
  const Database database = Database::open(db);
  DatabaseRows out;
  for (const CatalogEntry& entry : database.catalog()) {
    if (!is_local(entry.kind)) continue;
    TableRows& rows = out[entry.name];
    database.for_each_row(database.table(entry.name),
                          [&](const std::vector<Value>& row) { rows.push_back(row); });
  }
  return out;
}

void expect_updated(const std::filesystem::path& db, const DatabaseRows& before,
                    const std::string& table, const std::string& column, const Value& value) {
  const Database database = Database::open(db);
  const std::size_t changed = column_index(database.table(table), column);
  DatabaseRows expected = before;
  for (auto& row : expected.at(table)) row[changed] = value;
  const DatabaseRows after = read_all_tables(db);
  ASSERT_EQ(after.size(), expected.size());
  for (const auto& [name, rows] : expected) {
    ASSERT_TRUE(after.contains(name)) << name;
    EXPECT_EQ(after.at(name).size(), rows.size()) << name;
    EXPECT_TRUE(after.at(name) == rows) << "table " << name << " does not read as expected";
  }
  expect_mdbtools_agrees(db);
  expect_indexes_sound(db);
}

void expect_unchanged(const std::filesystem::path& db, const DatabaseRows& before) {
  EXPECT_TRUE(read_all_tables(db) == before) << db << " does not read as before";
  expect_mdbtools_agrees(db);
  expect_indexes_sound(db);
}

std::vector<Value> column_values(const std::filesystem::path& db, const std::string& table,
                                 const std::string& column) {
  const Database database = Database::open(db);
  const TableInfo info = database.table(table);
  const std::size_t index = column_index(info, column);
  std::vector<Value> out;
  database.for_each_row(info, [&](const std::vector<Value>& row) { out.push_back(row[index]); });
  return out;
}

ColumnSpec column(std::string name, ColumnType type, std::uint16_t size) {
  ColumnSpec spec;
  spec.name = std::move(name);
  spec.type = type;
  spec.size = size;
  return spec;
}

std::string file_bytes(const std::filesystem::path& file) { return test::read_file(file); }

}  // namespace norv::jet

namespace norv::jet {

void expect_old_or_new(const std::filesystem::path& db, const DatabaseRows& before,
                       const std::string& table, const std::string& column, const Value& value,
                       bool stale_keys_allowed) {
  const std::size_t changed = column_index(Database::open(db).table(table), column);
  const DatabaseRows after = read_all_tables(db);
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [name, rows] : before) {
    ASSERT_TRUE(after.contains(name)) << name;
    const TableRows& now = after.at(name);
    ASSERT_EQ(now.size(), rows.size()) << name;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        const bool may_change = name == table && c == changed;
        const bool ok = now[r][c] == rows[r][c] || (may_change && now[r][c] == value);
        EXPECT_TRUE(ok) << name << " row " << r << " column " << c << ": "
                        << to_display_text(now[r][c]);
      }
    }
  }
  expect_mdbtools_agrees(db, RowMatch::engine_rows_among_exported);
  expect_indexes_sound(db, stale_keys_allowed);
}

std::size_t live_long_value_rows(const std::filesystem::path& db) {
  PageFile pages = PageFile::open(db, platform::FileMode::read_only);
  const Header header = read_header(pages);
  std::size_t live = 0;
  for (std::uint32_t number = 1; number < pages.page_count(); ++number) {
    const Page page = pages.page(number);
    if (page.type() != data_page_type) continue;
    const DataPage data = DataPage::parse(*header.format, page);
    if (!data.holds_long_values()) continue;
    for (const RowSlot& slot : data.slots()) live += slot.is_deleted() ? 0 : 1;
  }
  return live;
}

TableDef definition_of(const std::filesystem::path& db, const std::string& table) {
  PageFile pages = PageFile::open(db, platform::FileMode::read_only);
  const Header header = read_header(pages);
  const TextCodec text(header.format->version, header.code_page);
  for (const CatalogEntry& entry : Database::open(db).catalog())
    if (entry.name == table)
      return read_table_def(pages, *header.format, text, entry.definition_page);
  throw std::invalid_argument("no table " + table);
}

std::vector<std::uint32_t> owned_pages(const std::filesystem::path& db, const std::string& table) {
  const RowPointer map = definition_of(db, table).owned_pages_map;
  PageFile pages = PageFile::open(db, platform::FileMode::read_only);
  return read_usage_map(pages, *read_header(pages).format, map).pages;
}

}  // namespace norv::jet
