// Execute of UPDATE statements on copies of the control fixtures. Every
// refusal leaves the file byte for byte as it was; every write is read back
// by the engine and by mdbtools.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "data/connection.h"
#include "platform/case_fold.h"
#include "platform/error.h"
#include "tests/data/installed_fixture.h"
#include "tests/support/fixtures.h"
#include "tests/support/mdbtools.h"

namespace norv::data {
namespace {

using ::testing::HasSubstr;

// The values of one column in every row, as the engine reads them.
std::vector<jet::Value> column_values(jet::Database& database, std::string_view table,
                                      std::string_view column) {
  jet::TableInfo info = database.table(table);
  std::size_t position = 0;
  while (position < info.columns.size() &&
         !platform::equal_ignoring_case(info.columns[position].name, column))
    ++position;
  std::vector<jet::Value> values;
  database.for_each_row(
      info, [&](const std::vector<jet::Value>& row) { values.push_back(row.at(position)); });
  return values;
}

// A statement that must be refused before anything is written.
template <typename ErrorType>
std::string refusal(std::string_view fixture, std::string_view statement) {
  test::InstalledFixture installed(fixture);
  std::string before = test::read_file(installed.native());
  std::string message;
  try {
    installed.connect()->execute(statement);
    ADD_FAILURE() << "no error for " << statement << " on " << fixture;
  } catch (const ErrorType& e) {
    message = e.what();
  }
  EXPECT_TRUE(test::read_file(installed.native()) == before) << fixture << " changed";
  return message;
}

TEST(ExecuteRefusals, AMissingColumnOrTableNamesColumnTableAndFile) {
  NORV_REQUIRE_FIXTURES();
  std::string message = refusal<InvalidArgumentError>("V2000/control-no-version.mdb",
                                                      "UPDATE Control SET Version = 1.0");
  EXPECT_THAT(message, HasSubstr("Version"));
  EXPECT_THAT(message, HasSubstr("Control"));
  EXPECT_THAT(message, HasSubstr("control-no-version.mdb"));
  message =
      refusal<InvalidArgumentError>("V2003/controlold.mdb", "UPDATE Control SET Version = 1.0");
  EXPECT_THAT(message, HasSubstr("no table Control"));
  EXPECT_THAT(message, HasSubstr("Version"));
  EXPECT_THAT(message, HasSubstr("controlold.mdb"));
}

TEST(ExecuteRefusals, ValuesTheColumnRefuses) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_THAT(
      refusal<InvalidArgumentError>("V2000/control-guid.mdb", "UPDATE Control SET Version = 1.0"),
      HasSubstr("type mismatch"));
  EXPECT_THAT(refusal<InvalidArgumentError>("V2003/control-text-short.mdb",
                                            "UPDATE Control SET Version = 1.25"),
              HasSubstr("at most 2"));
  refusal<OverflowError>("V2000/control-integer.mdb", "UPDATE Control SET Version = 32767.5");
  refusal<OverflowError>("V2000/control-byte.mdb", "UPDATE Control SET Version = -1");
  refusal<InvalidArgumentError>("V2000/control-boolean.mdb", "UPDATE Control SET Version = NULL");
}

TEST(ExecuteRefusals, ASavedQueryIsNotATable) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_THAT(
      refusal<NotSupportedError>("V1997/queryTestV1997.mdb", "UPDATE SelectQuery SET Version = 1"),
      HasSubstr("saved query"));
}

TEST(ExecuteRefusals, StatementsOutsideTheSubset) {
  NORV_REQUIRE_FIXTURES();
  refusal<InvalidArgumentError>("V2000/control-text.mdb", "UPDATE Control SET Version = 1.0a");
  refusal<NotSupportedError>("V2000/control-text.mdb",
                             "UPDATE Control SET Version = 1 WHERE ID = 1");
  refusal<NotSupportedError>("V2000/control-text.mdb", "SELECT MAX(Version) FROM Control");
  refusal<NotSupportedError>("V2000/control-text.mdb", "DROP TABLE Control");
  refusal<NotSupportedError>("V2000/control-text.mdb", "UPDATE MSysObjects SET Name = 'x'");
}

TEST(ExecuteRefusals, ALinkWhoseSourceIsMissingChangesNothing) {
  NORV_REQUIRE_FIXTURES();
  std::string message =
      refusal<InvalidArgumentError>("V2000/linked.mdb", "UPDATE Control SET Version = 1.0");
  EXPECT_THAT(message, HasSubstr("control-text.mdb"));
  EXPECT_THAT(message, HasSubstr("Version"));
}

struct WriteCase {
  std::string file;
  std::string value;     // the literal after "SET Version = "
  jet::Value stored;     // what the engine reads back
  std::string exported;  // what mdb-export prints
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.file << " = " << c.value; }

class ExecuteWrites : public ::testing::TestWithParam<WriteCase> {};

bool same_export(const std::string& actual, const std::string& expected) {
  if (actual == expected) return true;
  // mdbtools writes numbers with its own number of decimals.
  char* end = nullptr;
  double a = std::strtod(actual.c_str(), &end);
  if (end == actual.c_str() || *end != '\0') return false;
  return std::fabs(a - std::strtod(expected.c_str(), nullptr)) < 1e-6;
}

// The engine reads every written value back; mdbtools too where it runs
// (not from a Windows process).
TEST_P(ExecuteWrites, EveryRowGetsTheConvertedValue) {
  NORV_REQUIRE_FIXTURES();
  const WriteCase& c = GetParam();
  for (std::string folder : {"V2000", "V2003"}) {
    test::InstalledFixture installed(folder + "/" + c.file);
    auto connection = installed.connect();
    std::size_t rows = column_values(connection->database(), "Control", "Version").size();
    std::uint64_t changed =
        connection->execute("UPDATE Control SET Version = " + c.value);
    EXPECT_EQ(changed, rows);
    connection.reset();

    jet::Database reopened = jet::Database::open(installed.native());
    for (const jet::Value& value : column_values(reopened, "Control", "Version"))
      EXPECT_EQ(value, c.stored) << folder;
    EXPECT_TRUE(reopened.check_indexes().sound()) << folder;
    if (!test::mdbtools_available()) continue;
    for (const auto& row : test::mdb_export(installed.native(), "Control"))
      EXPECT_PRED2(same_export, row.at(1), c.exported) << folder;
  }
}

INSTANTIATE_TEST_SUITE_P(
    ColumnTypes, ExecuteWrites,
    ::testing::Values(WriteCase{"control-text.mdb", "1.0", std::string("1"), "1"},
                      WriteCase{"control-text-compressed.mdb", "10.25", std::string("10.25"),
                                "10.25"},
                      WriteCase{"control-text-null.mdb", "2.50", std::string("2.5"), "2.5"},
                      WriteCase{"control-memo.mdb", "1.10", std::string("1.1"), "1.1"},
                      WriteCase{"control-memo-long.mdb", "2", std::string("2"), "2"},
                      WriteCase{"control-many.mdb", "0.1", std::string("0.1"), "0.1"},
                      WriteCase{"control-version-lower.mdb", "1.0", std::string("1"), "1"},
                      WriteCase{"control-double.mdb", "1.0", 1.0, "1"},
                      WriteCase{"control-single.mdb", "0.25", 0.25f, "0.25"},
                      WriteCase{"control-long.mdb", "2.5", std::int32_t{2}, "2"},
                      WriteCase{"control-integer.mdb", "3.5", std::int16_t{4}, "4"},
                      WriteCase{"control-byte.mdb", "255", std::uint8_t{255}, "255"},
                      WriteCase{"control-currency.mdb", "1.5", jet::Currency{15000}, "1.5"},
                      WriteCase{"control-numeric.mdb", "1.23456",
                                jet::Decimal{false, {0, 0, 0, 12345}, 4}, "1.2345"},
                      WriteCase{"control-boolean.mdb", "0", false, "0"},
                      WriteCase{"control-datetime.mdb", "36925.25", jet::DateTime{36925.25},
                                "2001-02-03T06:00:00"}));

TEST(ExecuteWritesOnLinks, ALinkedTableIsUpdatedInItsSourceDatabase) {
  NORV_REQUIRE_FIXTURES();
  NORV_REQUIRE_MDBTOOLS();
  test::InstalledFixture installed("V2000/linked.mdb");
  installed.add_beside("V2000/control-text.mdb");
  std::string linking_before = test::read_file(installed.native());
  auto connection = installed.connect();
  std::uint64_t changed = connection->execute("UPDATE Control SET Version = 2");
  EXPECT_EQ(changed, 1u);
  connection.reset();
  EXPECT_TRUE(test::read_file(installed.native()) == linking_before);
  auto rows = test::mdb_export(installed.folder() / "control-text.mdb", "Control");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at(1), "2");
}

TEST(ExecuteWritesOnEmptyTables, NoRowsNoChange) {
  NORV_REQUIRE_FIXTURES();
  test::InstalledFixture installed("V2000/control-empty.mdb");
  std::uint64_t changed =
      installed.connect()->execute("UPDATE Control SET Version = 1.0");
  EXPECT_EQ(changed, 0u);
}

}  // namespace
}  // namespace norv::data
