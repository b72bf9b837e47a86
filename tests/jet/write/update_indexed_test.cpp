// Updating indexed columns: the index entries move with the rows. After
// each update the engine reads the new values, the index check finds every
// entry with the key its row gives, and mdbtools reads the file
// (expect_updated). Trees grow and shrink by whole levels, no page of them
// lost. A duplicate in a unique index and a Null in a primary key are
// refused with the file left byte for byte as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/header.h"
#include "jet/format/text_codec.h"
#include "jet/format/usage_map.h"
#include "jet/index/index_tree.h"
#include "jet/pager/page_file.h"
#include "platform/error.h"
#include "tests/jet/fixture_list.h"
#include "tests/jet/update_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

const std::string duplicate_message =
    "The changes you requested to the table were not successful because they would create "
    "duplicate values in the index, primary key, or relationship. Change the data in the field "
    "or fields that contain duplicate data, remove the index, or redefine the index to permit "
    "duplicate entries and try again.";

// The one-row control table, its Version column indexed as `index`.
TableSpec control_table(IndexSpec index) {
  return {"Control",
          {column("ID", ColumnType::long_integer), column("Version", ColumnType::text)},
          {{"IdKey", {"ID"}, false, true}, std::move(index)},
          {{std::int32_t{1}, std::string("0.9")}}};
}

// Rows whose keys differ in every index: descending text, a two-column
// key mixing directions, a Yes/No column and a Memo in a key.
TableSpec parts_table(std::int32_t rows) {
  TableSpec table{"Parts",
                  {column("Id", ColumnType::long_integer), column("Name", ColumnType::text, 255),
                   column("Grade", ColumnType::integer), column("Stocked", ColumnType::boolean),
                   column("Notes", ColumnType::memo)},
                  {{"PrimaryKey", {"Id"}, true, true},
                   {"NameDown", {"Name"}, false, false, {true}},
                   {"GradeName", {"Grade", "Name"}, false, false, {false, true}},
                   {"StockedNotes", {"Stocked", "Notes"}, false, false, {true, false}}},
                  {}};
  for (std::int32_t id = 1; id <= rows; ++id)
    table.rows.push_back({id, std::string(id % 3 == 0 ? "Bolt " : "nut ") + std::to_string(id),
                          static_cast<std::int16_t>(id % 4 == 0 ? -id : id), id % 2 == 0,
                          std::string("note ") + std::to_string(id * 7)});
  return table;
}

// A format, and whether its files are encoded (every page but the header
// RC4-encoded, which no update may notice).
struct Variant {
  FormatVersion format;
  std::uint32_t encoding_key;
};

std::string format_name(const Variant& variant) {
  return std::string(variant.format == FormatVersion::jet4 ? "Jet 4" : "Jet 3") +
         (variant.encoding_key != 0 ? " encoded" : "");
}

class IndexedUpdate : public ::testing::TestWithParam<Variant> {
 protected:
  std::filesystem::path create(TableSpec table) {
    DatabaseSpec spec;
    spec.format = GetParam().format;
    spec.encoding_key = GetParam().encoding_key;
    spec.tables.push_back(std::move(table));
    const auto path = dir_.path() / "indexed.mdb";
    create_database(path, spec, {.overwrite = true});
    return path;
  }

  static void expect_update(const std::filesystem::path& db, const std::string& table,
                            const std::string& column, const Value& value) {
    const DatabaseRows before = read_all_tables(db);
    Database::open(db).update_column(table, column, value);
    expect_updated(db, before, table, column, value);
  }

  test::TempDir dir_;
};

TEST_P(IndexedUpdate, ControlVersionUnderEveryKindOfIndex) {
  const std::vector<IndexSpec> indexes{{"VersionIdx", {"Version"}, false, false},
                                       {"VersionUnique", {"Version"}, false, true},
                                       {"PrimaryKey", {"Version"}, true, true},
                                       {"VersionDown", {"Version", "ID"}, false, false, {true}}};
  for (const IndexSpec& index : indexes) {
    SCOPED_TRACE(format_name(GetParam()) + ", index " + index.name);
    const auto db = create(control_table(index));
    expect_update(db, "Control", "Version", std::string("1.0"));
    expect_update(db, "Control", "Version", std::string("10.25.3 \xC3\xA9t\xC3\xA9"));
    // A version that sorts before the old one, then the same again.
    expect_update(db, "Control", "Version", std::string("0.1"));
    expect_update(db, "Control", "Version", std::string("0.1"));
  }
}

TEST_P(IndexedUpdate, ManyRowsUnderDescendingAndMultiColumnIndexes) {
  const struct {
    const char* column;
    Value value;
  } cases[] = {
      {"Name", std::string("washer")},  // NameDown and GradeName
      {"Grade", std::int16_t{-3}},      // GradeName
      {"Stocked", true},                // StockedNotes, the Memo read from the rows
      {"Notes", std::string("checked")},
      {"Name", Null{}},
      {"Notes", Null{}},
  };
  const auto db = create(parts_table(60));
  for (const auto& c : cases) {
    SCOPED_TRACE(format_name(GetParam()) + ", column " + c.column);
    expect_update(db, "Parts", c.column, c.value);
  }
}

// Long equal keys fit the leaf only with the common prefix left out.
TEST_P(IndexedUpdate, LongKeysFitWithPrefixCompression) {
  TableSpec table = parts_table(40);
  table.indexes.erase(table.indexes.begin() + 2);  // GradeName's keys would not fit one leaf
  const auto db = create(std::move(table));
  expect_update(db, "Parts", "Name", std::string(255, 'w'));
  expect_update(db, "Parts", "Name", std::string("short again"));
}

TEST_P(IndexedUpdate, RefusedWithTheFileUnchanged) {
  TableSpec unique_names = parts_table(3);
  unique_names.indexes[1].unique = true;
  const struct {
    const char* what;
    TableSpec table;
    const char* column;
    Value value;
    std::string words;
  } cases[] = {
      {"duplicate primary key", parts_table(3), "Id", std::int32_t{5}, duplicate_message},
      {"duplicate unique key", std::move(unique_names), "Name", std::string("x"), duplicate_message},
      {"null primary key", control_table({"PrimaryKey", {"Version"}, true, true}), "Version",
       Null{}, "Null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(format_name(GetParam()) + ": " + c.what);
    const auto db = create(c.table);
    const std::string bytes = file_bytes(db);
    const DatabaseRows before = read_all_tables(db);
    try {
      Database::open(db).update_column(c.table.name, c.column, c.value);
      ADD_FAILURE() << "the update was not refused";
    } catch (const Error& error) {
      EXPECT_THAT(error.what(), HasSubstr(db.string() + ": "));
      EXPECT_THAT(error.what(), HasSubstr(c.words));
    }
    EXPECT_TRUE(file_bytes(db) == bytes) << "the file changed";
    expect_unchanged(db, before);
  }
}

// The shape of one index of `table`: its pages and how many are nodes.
struct TreeShape {
  std::size_t pages = 0;
  std::size_t nodes = 0;
};

// Every index of `table` as its tree stands, and a failure for any index
// page of the table that is neither in one of them nor free in the global
// map: pages a rebuilt tree left behind must be given back.
std::map<std::string, TreeShape> index_trees(const std::filesystem::path& db,
                                             const std::string& table) {
  const Database database = Database::open(db);
  PageFile pages = PageFile::open(db, platform::FileMode::read_only);
  const Header header = read_header(pages);
  const TextCodec text(header.format->version, header.code_page);
  const std::uint32_t definition = database.table(table).definition_page;
  const TableDef def = read_table_def(pages, *header.format, text, definition);
  std::set<std::uint32_t> in_trees;
  std::map<std::string, TreeShape> out;
  for (const LogicalIndexDef& index : def.logical_indexes) {
    const IndexTreeContents tree = read_index_tree(
        pages, *header.format, def.real_indexes[index.real_index].first_page, def.page, index.name);
    in_trees.insert(tree.pages.begin(), tree.pages.end());
    out[index.name] = {tree.pages.size(), tree.pages.size() - tree.leaves.size()};
  }
  const UsageMap free = read_usage_map(pages, *header.format, global_usage_map, MapSense::free);
  for (std::uint32_t number = 1; number < pages.page_count(); ++number) {
    const Page page = pages.page(number);
    const bool index_page = page.type() == 0x03 || page.type() == 0x04;
    if (!index_page || parse_index_page(*header.format, page).owner != def.page) continue;
    if (!in_trees.contains(number) &&
        !std::binary_search(free.pages.begin(), free.pages.end(), number))
      ADD_FAILURE() << db << ": index page " << number << " is in no tree and not free";
  }
  return out;
}

// Keys of 255 characters that differ early split the leaves of GradeName
// into a tree of three levels (Jet 3) or two (Jet 4, whose pages are
// larger); equal short keys then fit one leaf again and the other pages
// are released. Every step passes the index check and mdbtools.
TEST_P(IndexedUpdate, TreesGrowAndShrinkByWholeLevels) {
  const auto db = create(parts_table(300));
  expect_update(db, "Parts", "Name", std::string(255, 'w'));
  const TreeShape grown = index_trees(db, "Parts").at("GradeName");
  EXPECT_GE(grown.nodes, GetParam().format == FormatVersion::jet3 ? 3u : 1u);
  expect_update(db, "Parts", "Name", std::string(250, 'v'));  // rebuilt, same shape
  expect_update(db, "Parts", "Grade", std::int16_t{7});
  const TreeShape shrunk = index_trees(db, "Parts").at("GradeName");
  EXPECT_LT(shrunk.pages, grown.pages);
  expect_update(db, "Parts", "Name", std::string("n"));
  EXPECT_EQ(index_trees(db, "Parts").at("GradeName").pages, 1u);
}

// Only the first two rows change, and their new entries take the places of
// their old ones on the first leaf, which keeps its last entry: that leaf
// is rewritten in place, the tree keeps its shape (a rebuilt one would fit
// one page) and the file gains no page.
TEST_P(IndexedUpdate, OneLeafOfATreeIsRewrittenInPlace) {
  TableSpec table{"Control", {column("ID", ColumnType::long_integer), column("Version", ColumnType::text, 255)},
                  {{"VersionIdx", {"Version"}, false, false}}, {}};
  for (std::int32_t id = 1; id <= 40; ++id)
    table.rows.push_back({id, std::string(250, id <= 2 ? 'a' : 'b')});
  const auto db = create(std::move(table));
  const TreeShape before = index_trees(db, "Control").at("VersionIdx");
  ASSERT_GE(before.nodes, 1u);
  const auto size = std::filesystem::file_size(db);
  expect_update(db, "Control", "Version", std::string(250, 'b'));
  EXPECT_EQ(std::filesystem::file_size(db), size);
  EXPECT_EQ(index_trees(db, "Control").at("VersionIdx").pages, before.pages);
}

// The creator builds trees of any size, and updates rebuild them.
TEST_P(IndexedUpdate, CreatedTreesOfSeveralLevelsAreKeptInOrder) {
  TableSpec table = parts_table(400);
  for (auto& row : table.rows)
    row[1] = std::get<std::string>(row[1]) + std::string(200, 'x');
  const auto db = create(std::move(table));
  EXPECT_GE(index_trees(db, "Parts").at("NameDown").nodes, 1u);
  expect_update(db, "Parts", "Stocked", false);
  expect_update(db, "Parts", "Name", std::string("bolt"));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, IndexedUpdate,
                         ::testing::Values(Variant{FormatVersion::jet3, 0},
                                           Variant{FormatVersion::jet4, 0},
                                           Variant{FormatVersion::jet3, 0x0BADC0DE},
                                           Variant{FormatVersion::jet4, 0x0BADC0DE}),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                           std::string name = format_name(info.param);
                           std::erase(name, ' ');
                           return name;
                         });

// The shared control tables with an indexed Version: the stamp goes in.
TEST(IndexedFixture, ControlIndexedIsStamped) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  for (const char* folder : {"V2000", "V2003", "GENERIC_JET4"}) {
    SCOPED_TRACE(folder);
    const auto db = test::copy_fixture(std::string(folder) + "/control-indexed.mdb", dir.path());
    const DatabaseRows before = read_all_tables(db);
    EXPECT_EQ(Database::open(db).update_column("Control", "Version", std::string("1.0")), 2u);
    expect_updated(db, before, "Control", "Version", std::string("1.0"));
  }
}

// An index of two levels written by Access 97: every row given one key
// rebuilds it behind its root page.
TEST(IndexedFixture, TreeOfSeveralLevelsIsRebuilt) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V1997/compIndexTestV1997.mdb", dir.path());
  const DatabaseRows before = read_all_tables(db);
  Database::open(db).update_column("Table1", "CD_AGENTE", std::int32_t{7});
  expect_updated(db, before, "Table1", "CD_AGENTE", std::int32_t{7});
  index_trees(db, "Table1");
}

// Every indexed Text, Memo, Long, Integer or Byte column of every user table
// of the shared fixtures (indexes Access and other writers made, of one
// page and of several levels): the update is done, and then the rows read
// as expected and the indexes pass the check where they passed before, or
// it is refused (a duplicate, a relationship, an AutoNumber) and the file
// is byte for byte as it was.
TEST(IndexedFixture, EveryIndexedColumnIsSetOrRefusedUnchanged) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto value_for = [](ColumnType type) -> std::optional<Value> {
    switch (type) {
      case ColumnType::text:
      case ColumnType::memo: return Value{std::string("sweep")};
      case ColumnType::long_integer: return Value{std::int32_t{7}};
      case ColumnType::integer: return Value{std::int16_t{7}};
      case ColumnType::byte: return Value{std::uint8_t{7}};
      default: return std::nullopt;
    }
  };
  const auto db = dir.path() / "sweep.mdb";
  const auto fresh_copy = [&](const std::filesystem::path& fixture) {
    std::filesystem::copy_file(fixture, db, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(db, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  };
  std::size_t done = 0;
  for (const std::filesystem::path& fixture : test::all_fixture_databases()) {
    std::vector<std::pair<std::string, ColumnInfo>> targets;
    fresh_copy(fixture);
    try {
      const Database database = Database::open(db);
      for (const CatalogEntry& entry : database.catalog()) {
        if (entry.kind != CatalogKind::table) continue;
        const TableInfo table = database.table(entry);
        for (const ColumnInfo& column : table.columns)
          for (const IndexInfo& index : table.indexes)
            if (std::find(index.columns.begin(), index.columns.end(), column.name) != index.columns.end()) {
              targets.emplace_back(table.name, column);
              break;
            }
      }
    } catch (const Error&) {
      continue;  // a fixture the engine refuses to read is the damage tests' business
    }
    for (const auto& [table, column] : targets) {
      const std::optional<Value> value = value_for(column.type);
      if (!value) continue;
      SCOPED_TRACE(fixture.string() + ": " + table + "." + column.name);
      fresh_copy(fixture);
      const std::string bytes = file_bytes(db);
      const DatabaseRows before = read_all_tables(db);
      const bool sound_before = Database::open(db).check_indexes().problems.empty();
      try {
        Database::open(db).update_column(table, column.name, *value);
      } catch (const Error&) {
        EXPECT_TRUE(file_bytes(db) == bytes) << "the refused update changed the file";
        continue;
      }
      ++done;
      if (sound_before) expect_updated(db, before, table, column.name, *value);
      if (HasFailure()) return;
    }
  }
  EXPECT_GE(done, 100u) << "the fixtures hold fewer indexed columns than expected";
}

}  // namespace
}  // namespace norv::jet
