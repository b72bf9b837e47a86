// The read side on databases the engine's creator builds: every column
// type, rows over many pages, long values, links and queries, in both
// formats; what the engine reads must be what was written, and what
// mdbtools reads.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "tests/jet/both_formats.h"
#include "tests/jet/mdbtools_agreement.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::ElementsAre;

ColumnSpec column(std::string name, ColumnType type) {
  ColumnSpec spec;
  spec.name = std::move(name);
  spec.type = type;
  return spec;
}

// Index keys of the creator take letters (not all of them) and few digits:
// the label of row 120 is "Labbca".
std::string label(std::int32_t id) {
  std::string text = "Lab";
  for (char digit : std::to_string(id)) text += static_cast<char>('a' + (digit - '0'));
  return text;
}

TableSpec every_type_table(FormatVersion format) {
  TableSpec table;
  table.name = "Samples";
  for (auto [name, type] : std::initializer_list<std::pair<const char*, ColumnType>>{
           {"Id", ColumnType::long_integer}, {"Flag", ColumnType::boolean},
           {"Small", ColumnType::byte},      {"Count", ColumnType::integer},
           {"Price", ColumnType::currency},  {"Ratio", ColumnType::single},
           {"Measure", ColumnType::double_}, {"When", ColumnType::date_time},
           {"Label", ColumnType::text},      {"Notes", ColumnType::memo},
           {"Blob", ColumnType::ole},        {"Key", ColumnType::guid}})
    table.columns.push_back(column(name, type));
  if (format == FormatVersion::jet4) table.columns.push_back(column("Amount", ColumnType::decimal));
  table.columns.back().scale = format == FormatVersion::jet4 ? 2 : 0;

  Guid key;
  for (std::uint8_t i = 0; i < 16; ++i) key.bytes[i] = i;
  const std::string long_text = std::string(9000, 'm') + " end";
  for (std::int32_t id = 1; id <= 400; ++id) {
    RowValues row{id,
                  id % 2 == 0,
                  static_cast<std::uint8_t>(id % 256),
                  static_cast<std::int16_t>(-id),
                  Currency{id * 12345},
                  static_cast<float>(id) / 4,
                  id / 3.0,
                  DateTime{36526.5 + id},
                  label(id),
                  id == 7 ? Value(long_text) : Value(std::string("note")),
                  id % 5 == 0 ? Value(Null{}) : Value(Binary{{0x00, 0x1E, 0xFF}}),
                  key};
    if (format == FormatVersion::jet4) row.push_back(Decimal{false, {0, 0, 0, 1999}, 2});
    table.rows.push_back(std::move(row));
  }
  return table;
}

class CreatedDatabase : public ::testing::TestWithParam<FormatVersion> {
 protected:
  void SetUp() override {
    DatabaseSpec spec;
    spec.format = GetParam();
    spec.tables.push_back(every_type_table(spec.format));
    // The creator writes one-page indexes: the indexed table is small.
    TableSpec control{"Control",
                      {column("ID", ColumnType::long_integer), column("Version", ColumnType::text)},
                      {{"PrimaryKey", {"ID"}, true, true}, {"Build", {"Version", "ID"}, false, false}},
                      {{1, "Lab"}, {2, "Bac"}}};
    spec.tables.push_back(control);
    spec.links.push_back({"Remote", "other.mdb", "Control", ""});
    spec.links.push_back({"Odbc", "", "dbo.Control", "ODBC;DSN=Norv"});
    spec.select_queries.push_back({"AllControl", "Control"});
    create_database(file_, spec);
  }
  test::TempDir dir_;
  std::filesystem::path file_ = dir_ / "created.mdb";
};

TEST_P(CreatedDatabase, ReadsBackWhatWasWritten) {
  const Database db = Database::open(file_);
  EXPECT_EQ(db.format(), GetParam());
  const TableInfo table = db.table("SAMPLES");
  const TableSpec expected = every_type_table(GetParam());
  ASSERT_EQ(table.columns.size(), expected.columns.size());
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    EXPECT_EQ(table.columns[c].name, expected.columns[c].name);
    EXPECT_EQ(table.columns[c].type, expected.columns[c].type) << table.columns[c].name;
  }
  std::size_t r = 0;
  db.for_each_row(table, [&](const std::vector<Value>& row) {
    ASSERT_LT(r, expected.rows.size());
    EXPECT_EQ(row, expected.rows[r]) << "row " << r;
    ++r;
  });
  EXPECT_EQ(r, expected.rows.size());
  EXPECT_GT(db.page_count(), 20u) << "the table should need many pages";
}

TEST_P(CreatedDatabase, ReadsIndexesWithTheirKeyColumns) {
  const Database db = Database::open(file_);
  std::vector<std::pair<std::string, std::vector<std::string>>> indexes;
  for (const IndexInfo& index : db.table("Control").indexes) {
    indexes.emplace_back(index.name, index.columns);
    EXPECT_EQ(index.primary_key, index.name == "PrimaryKey");
    EXPECT_EQ(index.unique, index.name == "PrimaryKey");
  }
  using Index = std::pair<std::string, std::vector<std::string>>;
  EXPECT_THAT(indexes, ::testing::UnorderedElementsAre(
                           Index{"PrimaryKey", {"ID"}}, Index{"Build", {"Version", "ID"}}));
}

TEST_P(CreatedDatabase, CatalogListsLinksAndViews) {
  const Database db = Database::open(file_);
  std::vector<std::pair<CatalogKind, std::string>> listed;
  for (const CatalogEntry& entry : db.catalog())
    if (entry.kind != CatalogKind::system_table && entry.kind != CatalogKind::access_table)
      listed.emplace_back(entry.kind, entry.name);
  EXPECT_THAT(listed, ::testing::UnorderedElementsAre(
                          std::pair{CatalogKind::table, std::string("Samples")},
                          std::pair{CatalogKind::table, std::string("Control")},
                          std::pair{CatalogKind::link, std::string("Remote")},
                          std::pair{CatalogKind::pass_through, std::string("Odbc")},
                          std::pair{CatalogKind::view, std::string("AllControl")}));
}

TEST_P(CreatedDatabase, MdbtoolsReadsTheSame) {
  NORV_REQUIRE_MDBTOOLS();
  const Database db = Database::open(file_);
  compare_table(db, "Samples");
  compare_table(db, "Control");
  EXPECT_THAT(test::mdb_tables(file_), ::testing::UnorderedElementsAre("Samples", "Control"));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, CreatedDatabase, both_formats(), format_name);

}  // namespace
}  // namespace norv::jet
