// Databases made by the creator, read back with mdbtools (the independent
// reader) and checked byte-wise where mdbtools does not look (index pages,
// the header).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string_view>
#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/header.h"
#include "jet/types/decimal.h"
#include "platform/error.h"
#include "tests/jet/both_formats.h"
#include "tests/jet/damage.h"
#include "tests/support/host_command.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Rows = std::vector<std::vector<std::string>>;

const Guid sample_guid{{0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D, 0x00, 0xC0,
                        0x4F, 0xC9, 0x64, 0xFF}};

ColumnSpec col(std::string name, ColumnType type, std::uint16_t size = 50) {
  ColumnSpec c;
  c.name = std::move(name);
  c.type = type;
  c.size = size;
  return c;
}

TableSpec control_table(std::vector<RowValues> rows) {
  TableSpec t{"Control", {col("ID", ColumnType::long_integer), col("Version", ColumnType::text)},
              {{"PrimaryKey", {"ID"}, true, true}}, std::move(rows)};
  return t;
}

std::vector<std::string> files_in(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

class CreatorTest : public ::testing::TestWithParam<FormatVersion> {
 protected:
  bool jet4() const { return GetParam() == FormatVersion::jet4; }

  std::filesystem::path create(const DatabaseSpec& spec, const char* name = "made.mdb") {
    auto path = dir_ / name;
    create_database(path, spec);
    return path;
  }

  DatabaseSpec spec_with(std::vector<TableSpec> tables) {
    DatabaseSpec spec;
    spec.format = GetParam();
    spec.tables = std::move(tables);
    return spec;
  }

  test::TempDir dir_;
};

TEST_P(CreatorTest, EveryTypeReadsBackWithMdbtools) {
  NORV_REQUIRE_MDBTOOLS();
  ColumnSpec memo = col("Notes", ColumnType::memo);
  memo.compressed_unicode = true;
  TableSpec t{"Types",
              {col("ID", ColumnType::long_integer), col("Flag", ColumnType::boolean),
               col("B", ColumnType::byte), col("I", ColumnType::integer),
               col("C", ColumnType::currency), col("S", ColumnType::single),
               col("D", ColumnType::double_), col("T", ColumnType::date_time),
               col("Bin", ColumnType::binary, 16), col("Txt", ColumnType::text, 20),
               memo, col("G", ColumnType::guid)},
              {},
              {}};
  RowValues full{std::int32_t{-7}, true, std::uint8_t{200}, std::int16_t{-9}, Currency{9000}, 0.5f,
                 0.9, DateTime{36925.17020833334}, Binary{{0x41, 0x42}}, std::string("1.0 \u00e4"),
                 std::string("memo text"), sample_guid};
  RowValues empty{std::int32_t{2}, false, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{},
                  Null{}, Null{}, Null{}};
  if (jet4()) {
    ColumnSpec dec = col("Dec", ColumnType::decimal);
    dec.precision = 18;
    dec.scale = 4;
    t.columns.push_back(dec);
    full.push_back(*parse_decimal("-12.5"));
    empty.push_back(Null{});
  }
  t.rows = {full, empty};
  auto path = create(spec_with({t}));

  EXPECT_THAT(test::mdb_tables(path), ElementsAre("Types"));
  std::vector<std::string> first{"-7", "1", "200", "-9", "0.9000", "0.5", "0.9",
                                 "2001-02-03T04:05:06", "AB", "1.0 \u00e4", "memo text",
                                 "{6F9619FF-8B86-D011-B42D00C04FC964FF}"};
  std::vector<std::string> second{"2", "0", "", "", "", "", "", "", "", "", "", ""};
  if (jet4()) {
    first.push_back("-12.5000");
    second.push_back("");
  }
  EXPECT_EQ(test::mdb_export(path, "Types"), (Rows{first, second}));
  auto schema = test::run_host_command({"mdb-schema", test::host_path(path)});
  EXPECT_EQ(schema.exit_status, 0);
  EXPECT_EQ(schema.err, "");
  EXPECT_THAT(schema.out, HasSubstr("[Txt]\t\t\tText (20)"));
  EXPECT_THAT(schema.out, HasSubstr("[G]\t\t\tReplication ID"));
}

TEST_P(CreatorTest, LongValuesInlineOnOnePageAndChained) {
  NORV_REQUIRE_MDBTOOLS();
  std::string short_text = "0.9";
  std::string one_page(1500, 'p');
  std::string chained(9000, 'c');
  for (std::size_t i = 0; i < chained.size(); i += 97) chained[i] = 'X';
  std::vector<std::uint8_t> blob(5000);
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>('a' + i % 26);
  TableSpec t{"Notes",
              {col("ID", ColumnType::long_integer), col("Text", ColumnType::memo),
               col("Data", ColumnType::ole)},
              {},
              {{std::int32_t{1}, short_text, Binary{{'x'}}},
               {std::int32_t{2}, one_page, Null{}},
               {std::int32_t{3}, chained, Binary{blob}}}};
  auto path = create(spec_with({t}));
  EXPECT_EQ(test::mdb_export(path, "Notes"),
            (Rows{{"1", short_text, "x"},
                  {"2", one_page, ""},
                  {"3", chained, std::string(blob.begin(), blob.end())}}));
}

TEST_P(CreatorTest, RowsFillAsManyPagesAsTheyNeed) {
  NORV_REQUIRE_MDBTOOLS();
  std::vector<RowValues> rows;
  Rows expected;
  for (std::int32_t i = 1; i <= 3000; ++i) {
    std::string version = "v" + std::to_string(i) + "." + std::string(static_cast<std::size_t>(i % 40), 'x');
    rows.push_back({i, version});
    expected.push_back({std::to_string(i), version});
  }
  TableSpec t = control_table(std::move(rows));
  t.indexes.clear();  // a primary key of 3000 rows needs more than one index page
  auto path = create(spec_with({t}));
  EXPECT_EQ(test::mdb_export(path, "Control"), expected);
  EXPECT_GT(std::filesystem::file_size(path), (jet4() ? 4096u : 2048u) * 30);
}

TEST_P(CreatorTest, CatalogHoldsSystemTablesLinksAndQueries) {
  NORV_REQUIRE_MDBTOOLS();
  DatabaseSpec spec = spec_with({control_table({{std::int32_t{1}, std::string("0.9")}})});
  spec.links = {{"Remote", "other.mdb", "Control", ""},
                {"Orders", "", "dbo.Orders", "ODBC;DSN=Sales"}};
  spec.select_queries = {{"AllControl", "Control"}};
  auto path = create(spec);
  EXPECT_THAT(test::mdb_tables(path, true),
              ElementsAre("MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships", "Control"));
  Rows objects = test::mdb_export(path, "MSysObjects");
  auto find = [&objects](const std::string& name) {
    for (const auto& row : objects)
      if (row[2] == name) return row;
    return std::vector<std::string>{};
  };
  EXPECT_EQ(find("Remote")[3], "6");
  EXPECT_EQ(find("Remote")[8], "other.mdb");
  EXPECT_EQ(find("Remote")[10], "Control");
  EXPECT_EQ(find("Orders")[3], "4");
  EXPECT_EQ(find("Orders")[9], "ODBC;DSN=Sales");
  EXPECT_EQ(find("AllControl")[3], "5");
  EXPECT_EQ(find("Control")[3], "1");
  EXPECT_EQ(find("MSysObjects")[0], "2");  // a table's id is its definition page
  EXPECT_EQ(find("MSysObjects")[7], "-2147483648");
  EXPECT_EQ(find("Tables")[3], "3");
  Rows clauses = test::mdb_export(path, "MSysQueries");
  ASSERT_EQ(clauses.size(), 5u);
  EXPECT_EQ(clauses[1][1], "1");  // the query kind row: select
  EXPECT_EQ(clauses[1][6], "1");
  EXPECT_EQ(clauses[3][3], "Control");
  EXPECT_FALSE(test::mdb_export(path, "MSysACEs").empty());
}

// Index entries of the only leaf page of table `tdef`: the key bytes after
// each entry's flag, and the row pointer.
std::vector<std::pair<std::vector<std::uint8_t>, std::uint32_t>> leaf_entries(
    const std::vector<std::uint8_t>& file, std::size_t page_size, std::uint32_t tdef) {
  bool jet4 = page_size == 4096;
  std::size_t bitmap = jet4 ? 27 : 22;
  std::size_t first = jet4 ? 0x1E0 : 0xF8;
  for (std::size_t p = 0; p * page_size < file.size(); ++p) {
    const std::uint8_t* page = file.data() + p * page_size;
    std::uint32_t owner = page[4] | page[5] << 8 | page[6] << 16 | static_cast<std::uint32_t>(page[7]) << 24;
    if (page[0] != 0x04 || owner != tdef) continue;
    std::vector<std::pair<std::vector<std::uint8_t>, std::uint32_t>> out;
    std::size_t start = 0;
    for (std::size_t bit = 0; bit < (first - bitmap) * 8; ++bit) {
      if (!(page[bitmap + bit / 8] >> (bit % 8) & 1)) continue;
      const std::uint8_t* entry = page + first + start;
      std::size_t key_size = bit - start - 4;
      out.push_back({{entry, entry + key_size},
                     static_cast<std::uint32_t>(entry[key_size] << 24 | entry[key_size + 1] << 16 |
                                                entry[key_size + 2] << 8 | entry[key_size + 3])});
      start = bit;
    }
    return out;
  }
  return {};
}

TEST_P(CreatorTest, IndexEntriesAreSortedAndPointAtTheirRows) {
  TableSpec numbers = control_table({{std::int32_t{5}, std::string("a")},
                                     {std::int32_t{-1}, std::string("b")},
                                     {std::int32_t{3}, std::string("c")}});
  auto path = create(spec_with({numbers}));
  auto bytes = test::read_bytes(path);
  std::size_t page_size = jet4() ? 4096 : 2048;
  // MSysObjects, MSysACEs, MSysQueries, MSysRelationships take pages 2-5.
  auto entries = leaf_entries(bytes, page_size, 6);
  ASSERT_EQ(entries.size(), 3u);
  using Key = std::vector<std::uint8_t>;
  EXPECT_EQ(entries[0].first, (Key{0x7F, 0x7F, 0xFF, 0xFF, 0xFF}));  // -1
  EXPECT_EQ(entries[1].first, (Key{0x7F, 0x80, 0x00, 0x00, 0x03}));
  EXPECT_EQ(entries[2].first, (Key{0x7F, 0x80, 0x00, 0x00, 0x05}));
  std::uint32_t data_page = entries[0].second >> 8;
  EXPECT_EQ(entries[0].second, data_page << 8 | 1);
  EXPECT_EQ(entries[1].second, data_page << 8 | 2);
  EXPECT_EQ(entries[2].second, data_page << 8 | 0);
}

TEST_P(CreatorTest, TextKeysFollowTheGeneralSortOrder) {
  TableSpec t{"Names", {col("Name", ColumnType::text)}, {{"ByName", {"Name"}, false, true}},
              {{std::string("Control")}, {std::string("beta")}, {std::string("Alpha")}}};
  auto entries = leaf_entries(test::read_bytes(create(spec_with({t}))), jet4() ? 4096 : 2048, 6);
  ASSERT_EQ(entries.size(), 3u);
  using Key = std::vector<std::uint8_t>;
  Key alpha = jet4() ? Key{0x7F, 0x4A, 0x5E, 0x66, 0x57, 0x4A, 0x01, 0x00}
                     : Key{0x7F, 0x60, 0x6D, 0x73, 0x69, 0x60, 0x00};
  EXPECT_EQ(entries[0].first, alpha);
  EXPECT_EQ(entries[1].second & 0xFF, 1u);  // beta
  EXPECT_EQ(entries[2].second & 0xFF, 0u);  // Control
}

TEST_P(CreatorTest, HeaderDecodesAsANewUnprotectedDatabase) {
  auto path = create(spec_with({}));
  auto bytes = test::read_bytes(path);
  Header header = decode_header(bytes, bytes.size(), path);
  EXPECT_EQ(header.format->version, GetParam());
  EXPECT_EQ(header.code_page, 1252);
  EXPECT_EQ(header.encoding_key, 0u);
  EXPECT_FALSE(header.has_password());
  EXPECT_EQ(bytes.size() % header.format->page_size, 0u);
}

// How often `part` occurs in `text`.
std::size_t occurrences(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_P(CreatorTest, RefusalsWriteNothing) {
  auto refuse = [this](const DatabaseSpec& spec, const char* what) {
    SCOPED_TRACE(what);
    const std::filesystem::path refused = dir_ / "refused.mdb";
    try {
      create_database(refused, spec);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr("refused.mdb"));
      EXPECT_THAT(e.what(), HasSubstr(what));
      EXPECT_EQ(occurrences(e.what(), refused.string()), 1u) << e.what();
    }
    EXPECT_TRUE(files_in(dir_.path()).empty());
  };
  refuse(spec_with({control_table({}), control_table({})}), "used twice");
  refuse(spec_with({control_table({{std::int32_t{1}, std::int16_t{1}}})}), "cannot hold an Integer");
  refuse(spec_with({control_table({{std::int32_t{1}, std::string(51, 'x')}})}), "at most 50 characters");
  refuse(spec_with({control_table({{std::int32_t{1}, std::string("a")}, {std::int32_t{1}, std::string("b")}})}),
         "same key");
  refuse(spec_with({control_table({{Null{}, std::string("a")}})}), "must have a value");
  DatabaseSpec related = spec_with({control_table({})});
  related.relationships = {{"ControlSelf", "Control", "Build", "Control", "ID", false}};
  refuse(related, "names column Build of table Control");
  related.relationships = {{"ControlSelf", "Control", "Version", "Control", "ID", false}};
  refuse(related, "joins Control.Version (Text) to Control.ID (Long)");
  related.relationships = {{"ControlSelf", "Control", "ID", "Control", "ID", false},
                           {"controlself", "Control", "Version", "Control", "Version", false}};
  refuse(related, "relationship name is used twice");
}

// A relationship is one MSysRelationships row per column pair, enforced
// (grbit 0) unless it cascades updates (0x100).
TEST_P(CreatorTest, RelationshipsAreRowsOfMSysRelationships) {
  NORV_REQUIRE_MDBTOOLS();
  TableSpec release{"Release",
                    {col("ID", ColumnType::long_integer), col("Control", ColumnType::long_integer)},
                    {{"Control", {"Control"}, false, false, {}}},
                    {}};
  DatabaseSpec spec = spec_with({control_table({{std::int32_t{1}, std::string("0.9")}}), release});
  spec.relationships = {{"ControlRelease", "Release", "Control", "Control", "ID", false},
                        {"ControlReleaseCascading", "Release", "ID", "Control", "ID", true}};
  const Rows rows = test::mdb_export(create(spec), "MSysRelationships");
  EXPECT_THAT(rows, ElementsAre(ElementsAre("ControlRelease", "0", "1", "0", "Release",
                                            "Control", "Control", "ID"),
                                ElementsAre("ControlReleaseCascading", "256", "1", "0",
                                            "Release", "ID", "Control", "ID")));
}

// Keys of every type and any text: what the creator once refused (a Double
// key, text with a hyphen, names with K or W) now makes indexes that pass
// the engine's index check.
TEST_P(CreatorTest, IndexesAnyKeyTypeAndAnyText) {
  TableSpec by_double{"Prices", {col("P", ColumnType::double_)}, {{"ByPrice", {"P"}, false, false}}, {{0.5}}};
  TableSpec odd_key{"Names", {col("N", ColumnType::text)}, {{"ByName", {"N"}, false, false}},
                    {{std::string("a-b")}}};
  TableSpec work{"Work", {col("ID", ColumnType::long_integer)}, {}, {}};
  const auto path = create(spec_with({by_double, odd_key, work}));
  const IndexCheckReport report = Database::open(path).check_indexes();
  EXPECT_TRUE(report.sound()) << report.problems.size() << " problems, first: "
                              << (report.problems.empty() ? "" : report.problems.front().what);
  EXPECT_EQ(Database::open(path).table("Work").name, "Work");
}

TEST_P(CreatorTest, ExistingFilesAreKeptUnlessReplacingIsAsked) {
  auto path = dir_ / "keep.mdb";
  test::write_file(path, "precious");
  EXPECT_THROW(create_database(path, spec_with({})), InvalidArgumentError);
  EXPECT_EQ(test::read_file(path), "precious");
  create_database(path, spec_with({}), {.overwrite = true});
  EXPECT_GT(std::filesystem::file_size(path), 4096u);
  EXPECT_THAT(files_in(dir_.path()), ElementsAre("keep.mdb"));
}

TEST_P(CreatorTest, AutoNumberFillsNullsAfterTheHighestValue) {
  NORV_REQUIRE_MDBTOOLS();
  ColumnSpec id = col("ID", ColumnType::long_integer);
  id.autonumber = true;
  TableSpec t{"Counted", {id, col("Name", ColumnType::text)}, {},
              {{Null{}, std::string("a")}, {std::int32_t{10}, std::string("b")}, {Null{}, std::string("c")}}};
  auto path = create(spec_with({t}));
  EXPECT_EQ(test::mdb_export(path, "Counted"), (Rows{{"1", "a"}, {"10", "b"}, {"11", "c"}}));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, CreatorTest, both_formats(), format_name);

}  // namespace
}  // namespace norv::jet

namespace norv::jet {
namespace {

// The engine's own reader on what the creator wrote: the catalog's kinds and
// every value as written (Memo and OLE resolved from their long values).
TEST_P(CreatorTest, ReadsBackWithTheEngine) {
  ColumnSpec memo = col("Notes", ColumnType::memo);
  memo.compressed_unicode = true;
  TableSpec t{"Items",
              {col("ID", ColumnType::long_integer), col("Flag", ColumnType::boolean),
               col("When", ColumnType::date_time), col("Price", ColumnType::currency),
               col("Name", ColumnType::text), memo, col("Data", ColumnType::ole),
               col("G", ColumnType::guid)},
              {{"PrimaryKey", {"ID"}, true, true}},
              {}};
  std::string long_memo(7000, 'n');
  std::vector<std::uint8_t> blob(3000, 0x5A);
  t.rows = {{std::int32_t{1}, true, DateTime{36925.5}, Currency{12345}, std::string("0.9"),
             std::string("short"), Binary{{1, 2}}, sample_guid},
            {std::int32_t{2}, false, Null{}, Null{}, std::string(""), long_memo, Binary{blob}, Null{}}};
  DatabaseSpec spec = spec_with({t});
  spec.links = {{"Remote", "other.mdb", "Control", ""}, {"Orders", "", "dbo.Orders", "ODBC;DSN=Sales"}};
  spec.select_queries = {{"AllItems", "Items"}};
  Database db = Database::open(create(spec));
  EXPECT_EQ(db.format(), GetParam());

  std::vector<std::pair<std::string, std::string>> kinds;
  for (const CatalogEntry& entry : db.catalog())
    kinds.emplace_back(std::string(catalog_kind_name(entry.kind)), entry.name);
  EXPECT_THAT(kinds, Contains(std::pair<std::string, std::string>{"SYSTEM TABLE", "MSysObjects"}));
  EXPECT_THAT(kinds, Contains(std::pair<std::string, std::string>{"TABLE", "Items"}));
  EXPECT_THAT(kinds, Contains(std::pair<std::string, std::string>{"LINK", "Remote"}));
  EXPECT_THAT(kinds, Contains(std::pair<std::string, std::string>{"PASS-THROUGH", "Orders"}));
  EXPECT_THAT(kinds, Contains(std::pair<std::string, std::string>{"VIEW", "AllItems"}));

  TableInfo info = db.table("ITEMS");
  ASSERT_EQ(info.columns.size(), 8u);
  EXPECT_EQ(info.columns[4].max_characters, 50);
  EXPECT_TRUE(info.columns[5].compressed_unicode || !jet4());
  ASSERT_EQ(info.indexes.size(), 1u);
  EXPECT_TRUE(info.indexes[0].primary_key);
  std::vector<std::vector<Value>> rows;
  db.for_each_row(info, [&rows](const std::vector<Value>& row) { rows.push_back(row); });
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<Value>{std::int32_t{1}, true, DateTime{36925.5}, Currency{12345},
                                          std::string("0.9"), std::string("short"), Binary{{1, 2}},
                                          sample_guid}));
  EXPECT_EQ(rows[1], (std::vector<Value>{std::int32_t{2}, false, Null{}, Null{}, std::string(""),
                                          long_memo, Binary{blob}, Null{}}));
}

TEST(CreatorLargeFile, FilesTooLargeForInlineMapsGetReferenceMaps) {
  // A Jet 3 file of some 35 MB: past the 16,000-odd pages an inline map
  // can cover, so every map of the file is a reference map. Both readers
  // find every row, and an update writes through the reference maps.
  NORV_REQUIRE_MDBTOOLS();
  test::TempDir dir;
  TableSpec notes{"Notes", {col("ID", ColumnType::long_integer), col("Text", ColumnType::memo)},
                  {}, {}};
  constexpr std::int32_t rows = 4200;
  for (std::int32_t id = 1; id <= rows; ++id)
    notes.rows.push_back({id, std::string(8000, static_cast<char>('a' + id % 26))});
  DatabaseSpec spec;
  spec.format = FormatVersion::jet3;
  spec.tables = {control_table({{std::int32_t{1}, std::string("0.9")}}), notes};
  spec.tables[0].indexes.clear();
  const auto path = dir / "large.mdb";
  create_database(path, spec);
  ASSERT_GT(std::filesystem::file_size(path), 16400u * 2048u);

  const Rows exported = test::mdb_export(path, "Notes");
  ASSERT_EQ(exported.size(), static_cast<std::size_t>(rows));
  EXPECT_EQ(exported.back(), (Rows::value_type{std::to_string(rows),
                                               std::string(8000, 'a' + rows % 26)}));
  {
    Database db = Database::open(path);
    std::size_t read = 0;
    db.for_each_row(db.table("Notes"), [&](const std::vector<Value>&) { ++read; });
    EXPECT_EQ(read, static_cast<std::size_t>(rows));
    EXPECT_EQ(db.update_column("Control", "Version", std::string("2.0")), 1u);
  }
  EXPECT_EQ(test::mdb_export(path, "Control"), (Rows{{"1", "2.0"}}));
}

// The text codec is made inside the creator's boundary: its refusal names
// the file, once, like every other.
TEST(CreatorCodePage, ACodePageTheToolCannotConvertIsRefusedNamingTheFile) {
  test::TempDir dir;
  DatabaseSpec spec;
  spec.format = FormatVersion::jet3;
  spec.code_page = 932;  // multi-byte
  const auto path = dir / "kanji.mdb";
  try {
    create_database(path, spec);
    ADD_FAILURE() << "a database in code page 932 was created";
  } catch (const NotSupportedError& error) {
    EXPECT_EQ(occurrences(error.what(), path.string()), 1u) << error.what();
    EXPECT_THAT(error.what(), HasSubstr("code page 932"));
  }
  EXPECT_TRUE(files_in(dir.path()).empty());
}

TEST(CreatorLargeFile, ADatabasePastTheFormatsLargestSizeIsRefused) {
  // A Jet 3 database of OLE values a little over 1 GiB in all: refused
  // while it is being built, naming the file, and no file is left. The
  // values and the pages built from them take about 2 GiB of memory.
  if constexpr (sizeof(void*) < 8)
    GTEST_SKIP() << "needs 2 GiB of memory, more than a 32-bit process has";
  test::TempDir dir;
  TableSpec blobs{"Blobs", {col("ID", ColumnType::long_integer), col("Data", ColumnType::ole)},
                  {}, {}};
  constexpr std::int32_t rows = 1030;
  for (std::int32_t id = 1; id <= rows; ++id)
    blobs.rows.push_back({id, Binary{std::vector<std::uint8_t>(1 << 20, 0x5A)}});
  DatabaseSpec spec;
  spec.format = FormatVersion::jet3;
  spec.tables = {blobs};
  const auto path = dir / "too-large.mdb";
  try {
    create_database(path, spec);
    ADD_FAILURE() << "a database past 1 GiB was created";
  } catch (const NotSupportedError& error) {
    EXPECT_THAT(error.what(), HasSubstr(path.string()));
    EXPECT_THAT(error.what(), HasSubstr("larger than 1 GiB"));
  }
  EXPECT_TRUE(files_in(dir.path()).empty());
}

}  // namespace
}  // namespace norv::jet
