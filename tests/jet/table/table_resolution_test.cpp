// Tables and columns found once and handed down: the catalog entry a caller
// found names its table, a table's description names its column, and names
// meet under the one case rule wherever they are compared.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "platform/error.h"
#include "tests/jet/both_formats.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

const CatalogEntry& entry_named(const Database& db, std::string_view name) {
  for (const CatalogEntry& entry : db.catalog())
    if (entry.name == name) return entry;
  throw std::logic_error("no catalog entry " + std::string(name));
}

std::vector<Value> column_values(const Database& db, std::string_view table, std::size_t at) {
  std::vector<Value> values;
  db.for_each_row(db.table(table),
                  [&](const std::vector<Value>& row) { values.push_back(row[at]); });
  return values;
}

class TableResolution : public ::testing::TestWithParam<FormatVersion> {
 protected:
  void SetUp() override {
    DatabaseSpec spec;
    spec.format = GetParam();
    // "Größe" and "Ärger": letters outside ASCII that Jet takes in any case.
    spec.tables.push_back({"Gr\xC3\xB6\xC3\x9F" "e",
                           {ColumnSpec{.name = "ID", .type = ColumnType::long_integer},
                            ColumnSpec{.name = "\xC3\x84rger", .type = ColumnType::text},
                            ColumnSpec{.name = "Notes", .type = ColumnType::memo}},
                           {},
                           {{std::int32_t{1}, std::string("a"), std::string("x")},
                            {std::int32_t{2}, std::string("b"), Null{}}}});
    spec.links.push_back({"Remote", "other.mdb", "Control", ""});
    create_database(file_, spec);
  }

  test::TempDir dir_;
  std::filesystem::path file_ = dir_ / "names.mdb";
};

TEST_P(TableResolution, NamesMeetWithoutRegardToCaseBeyondAscii) {
  Database db = Database::open(file_);
  const TableInfo table = db.table("GR\xC3\x96\xC3\x9F" "E");
  EXPECT_EQ(table.name, "Gr\xC3\xB6\xC3\x9F" "e");
  EXPECT_EQ(db.update_column("gr\xC3\xB6\xC3\x9F" "e", "\xC3\xA4RGER", std::string("c")), 2u);
  EXPECT_EQ(column_values(Database::open(file_), table.name, 1),
            (std::vector<Value>{std::string("c"), std::string("c")}));

  // The creator refuses what the engine would take for one name.
  DatabaseSpec twice;
  twice.format = GetParam();
  twice.tables.push_back({"T",
                          {ColumnSpec{.name = "\xC3\x84rger", .type = ColumnType::text},
                           ColumnSpec{.name = "\xC3\xA4RGER", .type = ColumnType::text}},
                          {},
                          {}});
  EXPECT_THROW(create_database(dir_ / "twice.mdb", twice), InvalidArgumentError);
}

TEST_P(TableResolution, AnEntryOfTheCatalogNamesItsTableAndNoOther) {
  Database db = Database::open(file_);
  const CatalogEntry& entry = entry_named(db, "Gr\xC3\xB6\xC3\x9F" "e");
  const TableInfo table = db.table(entry);
  EXPECT_EQ(table.name, entry.name);
  EXPECT_EQ(table.definition_page, entry.definition_page);
  EXPECT_EQ(table.columns.size(), 3u);

  EXPECT_THROW(db.table(entry_named(db, "Remote")), InvalidArgumentError) << "a link";
  const CatalogEntry copy = entry;
  EXPECT_THROW(db.table(copy), InvalidArgumentError) << "not an entry of this catalog";
  const Database other = Database::open(file_);
  try {
    other.table(entry);
    ADD_FAILURE() << "an entry of another database's catalog was taken";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr(file_.string()));
  }
}

TEST_P(TableResolution, AnUpdateTakesTheColumnItsTableDescribed) {
  Database db = Database::open(file_);
  const TableInfo table = db.table("Gr\xC3\xB6\xC3\x9F" "e");
  EXPECT_EQ(db.update_column(table, table.columns[2], std::string("memo")), 2u);
  EXPECT_EQ(column_values(Database::open(file_), table.name, 2),
            (std::vector<Value>{std::string("memo"), std::string("memo")}));

  // A description that no longer matches the stored definition is refused,
  // and the file keeps its values.
  ColumnInfo renamed = table.columns[1];
  renamed.name = "Gone";
  try {
    db.update_column(table, renamed, std::string("z"));
    ADD_FAILURE() << "a column the table does not have was set";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr("no column named Gone"));
  }
  EXPECT_EQ(column_values(Database::open(file_), table.name, 1),
            (std::vector<Value>{std::string("a"), std::string("b")}));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, TableResolution, both_formats(), format_name);

}  // namespace
}  // namespace norv::jet
