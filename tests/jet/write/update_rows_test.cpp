// Rows that change size: rewritten inside their page, moved to another
// page behind an overflow pointer, moved again, given a column they were
// written without; Memo values crossing the inline limit both ways; Jet 3
// rows with their jump tables and code page.

#include <gtest/gtest.h>

#include <string>

#include "jet/database.h"
#include "tests/jet/update_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

// Sets the column and checks the file with both readers.
void update_and_check(const std::filesystem::path& db, const std::string& table,
                      const std::string& column, const Value& value) {
  SCOPED_TRACE(table + "." + column + " <- " + to_display_text(value).substr(0, 40));
  const DatabaseRows before = read_all_tables(db);
  Database::open(db).update_column(table, column, value);
  expect_updated(db, before, table, column, value);
}

class Jet4Formats : public ::testing::TestWithParam<const char*> {
 protected:
  std::filesystem::path copy(const std::string& name) {
    const std::string relative = std::string(GetParam()) + "/" + name;
    if (!std::filesystem::exists(test::fixture(relative))) return {};
    return test::copy_fixture(relative, dir_.path());
  }
  test::TempDir dir_;
};

TEST_P(Jet4Formats, FullPageMovesGrowingRowsToANewPageAndAgain) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("control-fullpage.mdb");
  const std::size_t pages = owned_pages(db, "Control").size();
  update_and_check(db, "Control", "Version", std::string(100, 'a'));
  EXPECT_GT(owned_pages(db, "Control").size(), pages) << "the rows moved to a page of their own";
  // Each moved row is now too long for the page it moved to: moved again,
  // its old overflow row deleted.
  update_and_check(db, "Control", "Version", std::string(255, 'b'));
  // And back into the space the overflow rows have.
  update_and_check(db, "Control", "Version", std::string("1.0"));
}

TEST_P(Jet4Formats, FullPageShrinkingAndGrowingRows) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("control-fullpage-longversions.mdb");
  if (db.empty()) GTEST_SKIP() << "no such fixture in " << GetParam();
  update_and_check(db, "Control", "Version", std::string("12.5"));
  update_and_check(db, "Control", "Version", std::string(200, 'z'));
}

TEST_P(Jet4Formats, EveryRowOfATableOnManyPages) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("control-multipage.mdb");
  update_and_check(db, "Control", "Version", std::string(50, 'x'));  // every row grows
  update_and_check(db, "Control", "Version", std::string("1"));      // every row shrinks
  update_and_check(db, "Control", "Version", Null{});
}

TEST_P(Jet4Formats, RowsWrittenBeforeTheColumnExisted) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("control-added-column.mdb");
  update_and_check(db, "Control", "Version", std::string("1.0"));
  update_and_check(db, "Control", "Version", Null{});
}

TEST_P(Jet4Formats, MemoCrossesTheInlineLimitBothWays) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("control-memo.mdb");
  const std::size_t lval_rows = live_long_value_rows(db);
  update_and_check(db, "Control", "Version", std::string(65, 'm'));  // one long-value row
  EXPECT_EQ(live_long_value_rows(db), lval_rows + 1);
  update_and_check(db, "Control", "Version", std::string(6000, 'n'));  // a chain
  EXPECT_EQ(live_long_value_rows(db), lval_rows + 3);
  update_and_check(db, "Control", "Version", std::string(20, 'o'));  // inline again
  EXPECT_EQ(live_long_value_rows(db), lval_rows);
}

TEST_P(Jet4Formats, LongMemoReplacedByAShortOne) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("control-memo-long.mdb");
  if (db.empty()) GTEST_SKIP() << "no such fixture in " << GetParam();
  const std::size_t lval_rows = live_long_value_rows(db);
  update_and_check(db, "Control", "Version", std::string("1.0"));
  EXPECT_LT(live_long_value_rows(db), lval_rows);
}

TEST_P(Jet4Formats, WideRowEveryColumn) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("control-wide.mdb");
  if (db.empty()) GTEST_SKIP() << "no such fixture in " << GetParam();
  update_and_check(db, "Control", "Product", std::string("Fendrel"));
  update_and_check(db, "Control", "Build", std::int16_t{-5});
  update_and_check(db, "Control", "Updated", DateTime{45000.25});
  update_and_check(db, "Control", "Released", true);
  update_and_check(db, "Control", "Notes", std::string(300, 'q'));
  update_and_check(db, "Control", "Comment", Null{});
}

INSTANTIATE_TEST_SUITE_P(Formats, Jet4Formats, ::testing::Values("V2000", "V2003", "GENERIC_JET4"));

TEST(UpdateJet3, EveryColumnTypeOfARealAccess97Table) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V1997/testV1997.mdb", dir.path());
  update_and_check(db, "Table1", "C", std::uint8_t{7});
  update_and_check(db, "Table1", "D", std::int16_t{-2});
  update_and_check(db, "Table1", "E", std::int32_t{123456});
  update_and_check(db, "Table1", "F", 2.5);
  update_and_check(db, "Table1", "G", DateTime{30000.75});
  update_and_check(db, "Table1", "H", Currency{-12345});
  update_and_check(db, "Table1", "I", false);
  update_and_check(db, "Table1", "F", Null{});
}

TEST(UpdateJet3, TextInTheCodePageOnATableOfManyPages) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V1997/compIndexTestV1997.mdb", dir.path());
  update_and_check(db, "Table1", "RS_AGENTE", std::string("caf\xC3\xA9 \xE2\x82\xAC"));  // cp1252
  update_and_check(db, "Table1", "DC_AGENTE", std::string(55, 'd'));  // every row grows
  update_and_check(db, "Table1", "RS_AGENTE", std::string(55, 'r'));
  update_and_check(db, "Table1", "DC_AGENTE", Null{});
}

TEST(UpdateJet3, RowsLongerThan256BytesAndOverflowRows) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V1997/overflowTestV1997.mdb", dir.path());
  for (const char* column : {"data1", "data3", "data4", "data5", "data6", "data7"})
    update_and_check(db, "Table1", column, std::string(50, column[4]));
  update_and_check(db, "Table1", "data1", std::string("short"));
}

TEST(UpdateJet3, MemoOfAWideRow) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V1997/test2V1997.mdb", dir.path());
  update_and_check(db, "MSP_PROJECTS", "PROJ_PROP_AUTHOR", std::string(3000, 'a'));  // a chain
  update_and_check(db, "MSP_PROJECTS", "PROJ_PROP_AUTHOR", std::string("1.0"));
  update_and_check(db, "MSP_PROJECTS", "PROJ_OPT_CURRENCY_SYMBOL", std::string("kr"));
}

TEST(UpdateJet3, TableWithADeletedColumn) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V1997/delColTestV1997.mdb", dir.path());
  update_and_check(db, "Table1", "data2", std::string("a longer value than before"));
  update_and_check(db, "Table1", "data", Null{});
}

}  // namespace
}  // namespace norv::jet
