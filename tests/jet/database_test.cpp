// The engine's public face on the shared fixtures: formats, catalogs,
// table definitions and rows, checked against the fixtures' documented
// contents.

#include "jet/database.h"

#include <cstring>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/support/fixtures.h"

namespace norv::jet {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::vector<Value>> rows_of(const Database& db, std::string_view table) {
  std::vector<std::vector<Value>> rows;
  db.for_each_row(db.table(table), [&](const std::vector<Value>& row) { rows.push_back(row); });
  return rows;
}

std::vector<std::string> column_names(const TableInfo& table) {
  std::vector<std::string> names;
  for (const auto& column : table.columns) names.push_back(column.name);
  return names;
}

const CatalogEntry* entry_named(const Database& db, std::string_view name) {
  for (const CatalogEntry& entry : db.catalog())
    if (entry.name == name) return &entry;
  return nullptr;
}

TEST(Database, OpensEveryFormatWithItsGeometry) {
  NORV_REQUIRE_FIXTURES();
  const Database jet3 = Database::open(test::fixture("V1997/testV1997.mdb"));
  EXPECT_EQ(jet3.format(), FormatVersion::jet3);
  EXPECT_EQ(jet3.page_size(), 2048u);
  EXPECT_EQ(jet3.code_page(), 1252);
  const Database jet4 = Database::open(test::fixture("V2003/control-text.mdb"));
  EXPECT_EQ(jet4.format(), FormatVersion::jet4);
  EXPECT_EQ(jet4.page_size(), 4096u);
  EXPECT_EQ(jet4.page_count() * std::uint64_t{4096},
            std::filesystem::file_size(test::fixture("V2003/control-text.mdb")));
  EXPECT_EQ(jet4.io_stats().pages_read, 1u);  // opening reads the header only
}

TEST(Database, CatalogListsTablesWithTheirKinds) {
  NORV_REQUIRE_FIXTURES();
  const Database db = Database::open(test::fixture("V2000/control-text.mdb"));
  ASSERT_NE(entry_named(db, "Control"), nullptr);
  EXPECT_EQ(entry_named(db, "Control")->kind, CatalogKind::table);
  EXPECT_EQ(entry_named(db, "MSysObjects")->kind, CatalogKind::system_table);
  EXPECT_EQ(entry_named(db, "MSysObjects")->definition_page, 2u);
  EXPECT_EQ(entry_named(db, "MSysAccessObjects")->kind, CatalogKind::access_table);
  EXPECT_EQ(entry_named(db, "Tables"), nullptr);  // containers are not tables
  EXPECT_EQ(entry_named(db, "MSysDb"), nullptr);
}

TEST(Database, CatalogOfManyTablesKeepsEveryName) {
  NORV_REQUIRE_FIXTURES();
  const Database db = Database::open(test::fixture("V2003/many-tables.mdb"));
  std::vector<std::string> user_tables;
  for (const CatalogEntry& entry : db.catalog())
    if (entry.kind == CatalogKind::table) user_tables.push_back(entry.name);
  EXPECT_EQ(user_tables.size(), 25u);
  EXPECT_NE(std::find(user_tables.begin(), user_tables.end(), "Control"), user_tables.end());
  EXPECT_NE(std::find(user_tables.begin(), user_tables.end(), "T24"), user_tables.end());
}

TEST(Database, LinkedTableCarriesItsSource) {
  NORV_REQUIRE_FIXTURES();
  for (const char* folder : {"V2000", "V2003", "GENERIC_JET4"}) {
    const Database db = Database::open(test::fixture(std::string(folder) + "/linked.mdb"));
    const CatalogEntry* link = entry_named(db, "Control");
    ASSERT_NE(link, nullptr) << folder;
    EXPECT_EQ(link->kind, CatalogKind::link) << folder;
    EXPECT_EQ(link->linked_database, "control-text.mdb") << folder;
    EXPECT_EQ(link->foreign_name, "Control") << folder;
    EXPECT_THROW(db.table("Control"), InvalidArgumentError) << folder;  // not a local table
  }
}

TEST(Database, SelectQueriesWithoutParametersAreViews) {
  NORV_REQUIRE_FIXTURES();
  const Database db = Database::open(test::fixture("V1997/queryTestV1997.mdb"));
  std::vector<std::string> views;
  for (const CatalogEntry& entry : db.catalog())
    if (entry.kind == CatalogKind::view) views.push_back(entry.name);
  EXPECT_THAT(views, ElementsAre("SelectQuery"));
  for (const char* action : {"AppendQuery", "DeleteQuery", "UpdateQuery", "MakeTableQuery",
                             "DataDefinitionQuery", "PassthroughQuery"})
    EXPECT_EQ(entry_named(db, action), nullptr) << action;
}

TEST(Database, TableDefinitionHasColumnsAndIndexes) {
  NORV_REQUIRE_FIXTURES();
  const Database db = Database::open(test::fixture("V2000/control-indexed.mdb"));
  const TableInfo control = db.table("control");  // any case
  EXPECT_EQ(control.name, "Control");
  EXPECT_THAT(column_names(control), ElementsAre("ID", "Version"));
  EXPECT_EQ(control.columns[0].type, ColumnType::long_integer);
  EXPECT_TRUE(control.columns[0].fixed);
  EXPECT_EQ(control.columns[1].type, ColumnType::text);
  EXPECT_EQ(control.columns[1].max_characters, 50);
  EXPECT_FALSE(control.columns[1].fixed);
  ASSERT_EQ(control.indexes.size(), 2u);
  std::vector<std::string> primary, version_index;
  for (const IndexInfo& index : control.indexes) {
    if (index.primary_key) primary = index.columns;
    if (index.name == "VersionIdx") {
      version_index = index.columns;
      EXPECT_FALSE(index.unique);
    }
  }
  EXPECT_THAT(primary, ElementsAre("ID"));
  EXPECT_THAT(version_index, ElementsAre("Version"));
}

TEST(Database, WideJet3DefinitionsSpanSeveralPages) {
  NORV_REQUIRE_FIXTURES();
  const Database db = Database::open(test::fixture("V1997/testV1997.mdb"));
  EXPECT_EQ(db.table("Table2").columns.size(), 89u);
  EXPECT_EQ(db.table("Table1").columns.size(), 9u);
  const Database projects = Database::open(test::fixture("V1997/test2V1997.mdb"));
  EXPECT_EQ(projects.table("MSP_PROJECTS").columns.size(), 74u);
  EXPECT_EQ(rows_of(projects, "MSP_PROJECTS").size(), 1u);
}

TEST(Database, UnknownTableNamesTheFileAndTheTable) {
  NORV_REQUIRE_FIXTURES();
  const auto file = test::fixture("V2000/no-control.mdb");
  const Database db = Database::open(file);
  try {
    db.table("Control");
    ADD_FAILURE() << "found a table that does not exist";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr(file.string()));
    EXPECT_THAT(e.what(), HasSubstr("Control"));
  }
}

TEST(Database, ReadsValuesOfEveryType) {
  NORV_REQUIRE_FIXTURES();
  auto version = [](const char* file) {
    const Database db = Database::open(test::fixture(std::string("V2000/") + file));
    auto rows = rows_of(db, "Control");
    EXPECT_EQ(rows.size(), 1u) << file;
    return rows.empty() ? Value{} : rows[0].at(1);
  };
  EXPECT_EQ(version("control-text.mdb"), Value(std::string("0.9")));
  EXPECT_EQ(version("control-memo.mdb"), Value(std::string("0.9")));
  EXPECT_EQ(version("control-double.mdb"), Value(0.9));
  EXPECT_EQ(version("control-single.mdb"), Value(0.5f));
  EXPECT_EQ(version("control-long.mdb"), Value(std::int32_t{9}));
  EXPECT_EQ(version("control-integer.mdb"), Value(std::int16_t{9}));
  EXPECT_EQ(version("control-byte.mdb"), Value(std::uint8_t{9}));
  EXPECT_EQ(version("control-currency.mdb"), Value(Currency{9000}));
  EXPECT_EQ(version("control-boolean.mdb"), Value(true));
  EXPECT_EQ(version("control-text-null.mdb"), Value(Null{}));
  EXPECT_EQ(version("control-text-emptystring.mdb"), Value(std::string()));
  EXPECT_EQ(version("control-text-compressed.mdb"), Value(std::string("0.9")));
  EXPECT_EQ(version("unicode.mdb"), Value(std::string("1.0 \u00e4\u20ac")));
  EXPECT_EQ(version("unicode-compressed.mdb"), Value(std::string("1.0 \u00e4\u20ac")));
  EXPECT_EQ(to_display_text(version("control-datetime.mdb")), "2001-02-03T04:05:06");
  EXPECT_EQ(to_display_text(version("control-guid.mdb")), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
}

TEST(Database, ReadsLongMemoValuesFromLongValuePages) {
  NORV_REQUIRE_FIXTURES();
  for (const char* folder : {"V2000", "V2003"}) {
    const Database db = Database::open(test::fixture(std::string(folder) + "/control-memo-long.mdb"));
    const auto rows = rows_of(db, "Control");
    ASSERT_EQ(rows.size(), 1u);
    const auto* text = std::get_if<std::string>(&rows[0][1]);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->size(), 6007u);
    EXPECT_EQ(text->substr(0, 4), "0.9 ");
  }
}

TEST(Database, SkipsDeletedRowsAndReadsShortRowsAsNull) {
  NORV_REQUIRE_FIXTURES();
  const Database deleted = Database::open(test::fixture("GENERIC_JET4/control-deleted.mdb"));
  std::vector<Value> ids;
  for (const auto& row : rows_of(deleted, "Control")) ids.push_back(row[0]);
  EXPECT_THAT(ids, ElementsAre(Value(1), Value(3), Value(5)));

  const Database added = Database::open(test::fixture("GENERIC_JET4/control-added-column.mdb"));
  const auto rows = rows_of(added, "Control");
  ASSERT_EQ(rows.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(rows[i][1], Value(Null{})) << i;
  EXPECT_EQ(rows[3][1], Value(std::string("0.9")));
}

TEST(Database, ReadsTablesSpreadOverManyPages) {
  NORV_REQUIRE_FIXTURES();
  const Database db = Database::open(test::fixture("V2000/control-multipage.mdb"));
  const auto rows = rows_of(db, "Control");
  ASSERT_EQ(rows.size(), 3000u);
  for (std::int32_t i = 1; i <= 3000; ++i) {
    std::string expected = "v" + std::to_string(i) + ".";
    expected.resize(std::max<std::size_t>(expected.size(), 2 + (7 * i) % 49), 'x');
    ASSERT_EQ(rows[i - 1][0], Value(i));
    ASSERT_EQ(rows[i - 1][1], Value(expected)) << "ID " << i;
  }
}

// Pages of `file` that are data pages owned by the table defined at `owner`.
std::uint64_t pages_owned_by(const std::filesystem::path& file, std::uint32_t page_size,
                             std::uint32_t owner) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> page(page_size);
  std::uint64_t count = 0;
  while (in.read(page.data(), page_size)) {
    std::uint32_t page_owner;
    std::memcpy(&page_owner, page.data() + 4, 4);
    count += page[0] == 0x01 && page_owner == owner;
  }
  return count;
}

TEST(Database, ListingReadsTheHeaderAndTheCatalogOnly) {
  NORV_REQUIRE_FIXTURES();
  for (const char* fixture : {"V2000/control-text.mdb", "V2003/many-tables.mdb",
                              "V1997/testV1997.mdb"}) {
    const auto file = test::fixture(fixture);
    const Database db = Database::open(file);
    db.catalog();
    // header + catalog definition + the page of its usage map + its data pages
    const std::uint64_t expected = 3 + pages_owned_by(file, db.page_size(), 2);
    EXPECT_EQ(db.io_stats().pages_read, expected) << fixture;
    db.catalog();
    EXPECT_EQ(db.io_stats().pages_read, expected) << fixture << ": the catalog is kept";
  }
}

}  // namespace
}  // namespace norv::jet
