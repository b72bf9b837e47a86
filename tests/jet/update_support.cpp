#include "tests/jet/update_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "jet/database.h"
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

void expect_mdbtools_agrees(const std::filesystem::path& db) {
  if (!test::mdbtools_available()) return;
  const Database database = Database::open(db);
  for (const CatalogEntry& entry : database.catalog())
    if (entry.kind == CatalogKind::table) compare_table(database, entry.name);
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
}

void expect_unchanged(const std::filesystem::path& db, const DatabaseRows& before) {
  EXPECT_TRUE(read_all_tables(db) == before) << db << " does not read as before";
  expect_mdbtools_agrees(db);
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

std::string file_bytes(const std::filesystem::path& file) { return test::read_file(file); }

}  // namespace norv::jet
