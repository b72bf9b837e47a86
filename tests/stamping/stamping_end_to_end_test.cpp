// The sequence and the updaters on copies of real-format databases, through
// the real access layer and engine; every result read back with mdbtools,
// or with the engine and its index check where mdbtools cannot run.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/format.h"
#include "jet/format/index_page.h"
#include "jet/pager/page_file.h"
#include "platform/error.h"
#include "stamping/brenvik_databases.h"
#include "stamping/company_number.h"
#include "stamping/dovrel_databases.h"
#include "stamping/fendrel_databases.h"
#include "stamping/stamp_control_table.h"
#include "tests/stamping/stamping_doubles.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/written_rows.h"

namespace norv::stamping {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class StampingEndToEnd : public ::testing::Test {
 protected:
  StampingEndToEnd() : paths(dir.path()) {}
  void SetUp() override {
    NORV_REQUIRE_FIXTURES();
  }

  // Copies V2000/<fixture> to the Windows path `path`; returns its native path.
  std::filesystem::path place(const std::string& fixture, const std::string& path) {
    std::filesystem::path native = paths.native(path);
    std::filesystem::create_directories(native.parent_path());
    std::filesystem::path copy = test::copy_fixture("V2000/" + fixture, native.parent_path());
    std::filesystem::rename(copy, native);
    return native;
  }
  std::vector<std::string> versions(const std::string& path, const std::string& table = "Control") {
    std::vector<std::string> out;
    for (const auto& row : test::written_rows(paths.native(path), table)) out.push_back(row.at(1));
    return out;
  }
  bool stamp(const std::string& path) {
    return StampControlTable(context, path, kControlTable, kFendrelConnectionPrefix);
  }

  test::TempDir dir;
  test::FolderPathMapper paths;
  test::FixedWindow window;
  StampingContext context{window, paths};
};

TEST_F(StampingEndToEnd, StampsControlTablesInAnyLetterCaseAndEveryRow) {
  place("control-lower.mdb", "C:\\D\\lower.mdb");
  place("control-upper.mdb", "C:\\D\\upper.mdb");
  place("control-many.mdb", "C:\\D\\many.mdb");
  place("control-empty.mdb", "C:\\D\\empty.mdb");
  window.version = "2.5";
  for (const char* file : {"lower", "upper", "many", "empty"})
    EXPECT_TRUE(stamp(std::string("C:\\D\\") + file + ".mdb")) << file;
  EXPECT_THAT(versions("C:\\D\\lower.mdb", "control"), ElementsAre("2.5"));
  EXPECT_THAT(versions("C:\\D\\upper.mdb", "CONTROL"), ElementsAre("2.5"));
  EXPECT_THAT(versions("C:\\D\\many.mdb"), ElementsAre("2.5", "2.5", "2.5"));
  EXPECT_THAT(test::written_rows(paths.native("C:\\D\\empty.mdb"), "Control"), IsEmpty());
}

TEST_F(StampingEndToEnd, FilesWithoutTheControlTableArePresentAndUnchanged) {
  for (const char* fixture : {"controlold.mdb", "control-trailing-blank.mdb", "no-control.mdb"}) {
    auto native = place(fixture, std::string("C:\\D\\") + fixture);
    const std::string before = test::read_file(native);
    EXPECT_TRUE(stamp(std::string("C:\\D\\") + fixture)) << fixture;
    EXPECT_EQ(test::read_file(native), before) << fixture;
  }
}

TEST_F(StampingEndToEnd, AFailingStatementLeavesTheFileAsItWas) {
  auto native = place("control-no-version.mdb", "C:\\D\\x.mdb");
  const std::string before = test::read_file(native);
  EXPECT_THROW(stamp("C:\\D\\x.mdb"), Error);
  EXPECT_EQ(test::read_file(native), before);
}

TEST_F(StampingEndToEnd, FendrelAndDovrelStampTheirTablesOfTheSharedDatabase) {
  place("fendrel.mdb", "C:\\Data\\Fendrel.mdb");
  place("control-text.mdb", "C:\\Data\\2024\\S2024.mdb");
  place("control-text.mdb", "C:\\Data\\Dovrel\\Dovrel.mdb");
  window.version = "3";
  UpdateFendrelDatabases(context, "C:\\Data");
  EXPECT_THAT(versions("C:\\Data\\Fendrel.mdb", "DovrelControl"), ElementsAre("0.8"));
  UpdateDovrelDatabases(context, "C:\\Data");
  EXPECT_EQ(window.msg, " - Fendrel\r\n - S2024\r\n - Dovrel\r\n");
  EXPECT_THAT(versions("C:\\Data\\Fendrel.mdb"), ElementsAre("3"));
  EXPECT_THAT(versions("C:\\Data\\Fendrel.mdb", "DovrelControl"), ElementsAre("3"));
  EXPECT_THAT(versions("C:\\Data\\2024\\S2024.mdb"), ElementsAre("3"));
  EXPECT_THAT(versions("C:\\Data\\Dovrel\\Dovrel.mdb"), ElementsAre("3"));
}

// Company.mdb from `fixture` and every BV file up to 13: which ones the run
// stamps says which highest company number it read. The window's version
// 1.0 is a number literal, which Jet stores in a Text column as "1".
class BrenvikEndToEnd : public StampingEndToEnd {
 protected:
  std::vector<int> stamped_numbers(const std::string& fixture) {
    place(fixture, "C:\\B\\Company.mdb");
    for (int n = 0; n <= 13; ++n)
      place("control-text.mdb", "C:\\B\\" + company_database_name(static_cast<std::int16_t>(n)));
    window.msg.clear();
    UpdateBrenvikDatabases(context, "C:\\B");
    std::vector<int> stamped;
    for (int n = 0; n <= 13; ++n)
      if (versions("C:\\B\\" + company_database_name(static_cast<std::int16_t>(n))) ==
          std::vector<std::string>{"1"})
        stamped.push_back(n);
    return stamped;
  }
  static std::vector<int> upto(int last) {
    std::vector<int> out;
    for (int n = 0; n <= last; ++n) out.push_back(n);
    return out;
  }
};

TEST_F(BrenvikEndToEnd, TheHighestCompanyNumberDecidesTheFiles) {
  EXPECT_EQ(stamped_numbers("company.mdb"), upto(12));
  EXPECT_EQ(window.msg, " - Brenvik");
  EXPECT_THAT(versions("C:\\B\\Company.mdb"), ElementsAre("1"));
  EXPECT_EQ(stamped_numbers("company-double.mdb"), upto(12)) << "12.5 rounds to even";
  EXPECT_EQ(stamped_numbers("company-text.mdb"), upto(5)) << "text MAX is '5'";
  EXPECT_EQ(stamped_numbers("company-lower.mdb"), upto(9));
  EXPECT_EQ(stamped_numbers("company-nulls.mdb"), upto(7));
  EXPECT_EQ(stamped_numbers("company-zero.mdb"), upto(0));
  EXPECT_THAT(stamped_numbers("company-negative.mdb"), IsEmpty());
  EXPECT_EQ(window.msg, " - Brenvik");
  EXPECT_THAT(stamped_numbers("company-empty.mdb"), IsEmpty()) << "an empty Company table";
  EXPECT_EQ(window.msg, " - Brenvik");
}

TEST_F(BrenvikEndToEnd, QueryErrorsComeAfterCompanyIsStamped) {
  EXPECT_THROW(stamped_numbers("company-big.mdb"), OverflowError);
  EXPECT_THAT(versions("C:\\B\\Company.mdb"), ElementsAre("1"));
  EXPECT_THAT(window.msg, IsEmpty());
  EXPECT_THROW(stamped_numbers("company-none.mdb"), Error);
  EXPECT_THAT(versions("C:\\B\\Company.mdb"), ElementsAre("1"));
  EXPECT_THROW(stamped_numbers("company-no-companyno.mdb"), Error);
  EXPECT_THAT(window.msg, IsEmpty());
}

// Databases made by the engine: a Company table of 16-bit numbers beyond
// 9999, and an empty one.
class BrenvikCreatedEndToEnd : public StampingEndToEnd {
 protected:
  static jet::TableSpec control_table() {
    jet::TableSpec table;
    table.name = "Control";
    table.columns = {{.name = "ID", .type = jet::ColumnType::long_integer},
                     {.name = "Version", .type = jet::ColumnType::text}};
    table.rows = {{jet::Value{std::int32_t{1}}, jet::Value{std::string("0.9")}}};
    return table;
  }
  void create_company(std::vector<jet::RowValues> rows, bool indexed = false,
                      std::uint32_t encoding_key = 0) {
    jet::TableSpec company;
    company.name = "Company";
    company.columns = {{.name = "CompanyNo", .type = jet::ColumnType::integer}};
    if (indexed) {
      jet::IndexSpec index;
      index.name = "CompanyNoIdx";
      index.columns = {"CompanyNo"};
      company.indexes.push_back(std::move(index));
    }
    company.rows = std::move(rows);
    create("C:\\B\\Company.mdb", {control_table(), company}, encoding_key);
  }
  // Encoded with `encoding_key` when it is not 0.
  void create(const std::string& path, std::vector<jet::TableSpec> tables,
              std::uint32_t encoding_key = 0) {
    std::filesystem::path native = paths.native(path);
    std::filesystem::create_directories(native.parent_path());
    jet::DatabaseSpec spec;
    spec.tables = std::move(tables);
    spec.encoding_key = encoding_key;
    jet::create_database(native, spec);
  }
};

TEST_F(BrenvikCreatedEndToEnd, NumbersFromTenThousandOnHaveFiveDigits) {
  create_company({{jet::Value{std::int16_t{10001}}}, {jet::Value{std::int16_t{12}}}});
  for (const char* name : {"BV9999.mdb", "BV10000.mdb", "BV10001.mdb", "BV10002.mdb"})
    create(std::string("C:\\B\\") + name, {control_table()});
  UpdateBrenvikDatabases(context, "C:\\B");
  EXPECT_EQ(window.msg, " - Brenvik");
  for (const char* name : {"BV9999.mdb", "BV10000.mdb", "BV10001.mdb"})
    EXPECT_THAT(versions(std::string("C:\\B\\") + name), ElementsAre("1")) << name;
  EXPECT_THAT(versions("C:\\B\\BV10002.mdb"), ElementsAre("0.9"));
}

// The tail of the CompanyNo index's root (a node over several leaves) made
// to name its first leaf: the index no longer leads to the highest number,
// which the rows still hold.
void point_company_index_tail_at_first_leaf(const std::filesystem::path& db) {
  const std::uint32_t owner = jet::Database::open(db).table("Company").definition_page;
  const jet::Format& format = jet::jet4_format();
  std::optional<jet::IndexPage> root;
  {
    jet::PageFile pages = jet::PageFile::open(db, platform::FileMode::read_only);
    pages.set_page_size(format.page_size);
    for (std::uint32_t number = 1; number < pages.page_count() && !root; ++number) {
      const jet::Page page = pages.page(number);
      if (page.type() != jet::index_node_page_type) continue;
      jet::IndexPage node = jet::parse_index_page(format, page);
      if (node.owner == owner) root = std::move(node);
    }
  }
  ASSERT_TRUE(root.has_value()) << "the index has no node page";
  std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(root->number) * format.page_size +
             static_cast<std::streamoff>(format.index_page.tail));
  const std::uint32_t first_leaf = root->entries.front().child;
  const char tail[4] = {static_cast<char>(first_leaf), static_cast<char>(first_leaf >> 8),
                        static_cast<char>(first_leaf >> 16), static_cast<char>(first_leaf >> 24)};
  file.write(tail, sizeof tail);
}

TEST_F(BrenvikCreatedEndToEnd, ADamagedCompanyIndexStillGivesTheHighestNumber) {
  std::vector<jet::RowValues> rows;
  for (std::int16_t no = 0; no < 3000; ++no) rows.push_back({jet::Value{no}});
  create_company(std::move(rows), true);
  point_company_index_tail_at_first_leaf(paths.native("C:\\B\\Company.mdb"));
  for (const char* name : {"BV2407.mdb", "BV2408.mdb", "BV2999.mdb", "BV3000.mdb"})
    create(std::string("C:\\B\\") + name, {control_table()});
  UpdateBrenvikDatabases(context, "C:\\B");
  EXPECT_EQ(window.msg, " - Brenvik");
  for (const char* name : {"BV2407.mdb", "BV2408.mdb", "BV2999.mdb"})
    EXPECT_THAT(versions(std::string("C:\\B\\") + name), ElementsAre("1")) << name;
  EXPECT_THAT(versions("C:\\B\\BV3000.mdb"), ElementsAre("0.9"));
}

// An installation whose databases are encoded is stamped as a plain one:
// the highest number read through the index of an encoded Company, and
// encoded and plain company databases side by side, each stamped and still
// sound.
TEST_F(BrenvikCreatedEndToEnd, EncodedDatabasesAreStampedAsPlainOnes) {
  std::vector<jet::RowValues> rows;
  for (std::int16_t no = 0; no <= 600; ++no) rows.push_back({jet::Value{no}});
  create_company(std::move(rows), true, 0x2A2A2A2A);
  create("C:\\B\\BV0001.mdb", {control_table()}, 0x1234);
  create("C:\\B\\BV0600.mdb", {control_table()});
  create("C:\\B\\BV0601.mdb", {control_table()}, 0x1234);
  UpdateBrenvikDatabases(context, "C:\\B");
  EXPECT_EQ(window.msg, " - Brenvik");
  for (const char* name : {"Company.mdb", "BV0001.mdb", "BV0600.mdb"}) {
    const std::string path = std::string("C:\\B\\") + name;
    EXPECT_THAT(versions(path), ElementsAre("1")) << name;
    EXPECT_TRUE(jet::Database::open(paths.native(path)).check_indexes().sound()) << name;
  }
  EXPECT_THAT(versions("C:\\B\\BV0601.mdb"), ElementsAre("0.9"));
}

TEST_F(BrenvikCreatedEndToEnd, AnEmptyCompanyTableMeansNoCompanyDatabases) {
  create_company({});
  create("C:\\B\\BV0000.mdb", {control_table()});
  UpdateBrenvikDatabases(context, "C:\\B");
  EXPECT_EQ(window.msg, " - Brenvik");
  EXPECT_THAT(versions("C:\\B\\Company.mdb"), ElementsAre("1"));
  EXPECT_THAT(versions("C:\\B\\BV0000.mdb"), ElementsAre("0.9"));
}

}  // namespace
}  // namespace norv::stamping
