// jet-cli query and exec: the access layer from the command line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"
#include "tests/support/written_rows.h"

namespace norv {
namespace {

using ::testing::HasSubstr;

test::CommandResult jet_cli(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), JET_CLI);
  return test::run_command(arguments);
}

TEST(JetCliQuery, PrintsTheValue) {
  NORV_REQUIRE_FIXTURES();
  auto result = jet_cli({"query", test::fixture("V2000/company.mdb").string(),
                         "SELECT MAX(CompanyNo) FROM Company"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "12\n");
  result = jet_cli({"query", test::fixture("V2003/company-empty.mdb").string(),
                    "SELECT MAX(CompanyNo) FROM Company"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "Null\n");
}

TEST(JetCliQuery, FollowsALinkToTheFileBesideIt) {
  NORV_REQUIRE_FIXTURES();
  auto result = jet_cli({"query", test::fixture("V2000/linked.mdb").string(),
                         "SELECT MAX(Version) FROM Control"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "0.9\n");
}

TEST(JetCliQuery, FailuresGoToStandardErrorWithStatusOne) {
  NORV_REQUIRE_FIXTURES();
  auto result = jet_cli({"query", test::fixture("V2000/company-none.mdb").string(),
                         "SELECT MAX(CompanyNo) FROM Company"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_THAT(result.err, HasSubstr("no table Company"));
  EXPECT_EQ(jet_cli({"query", test::fixture("V2000/company.mdb").string()}).exit_status, 2);
}

TEST(JetCliExec, RefusalsChangeNothing) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  std::filesystem::path copy = test::copy_fixture("V2000/control-guid.mdb", dir.path());
  std::string before = test::read_file(copy);
  auto result = jet_cli({"exec", copy.string(), "UPDATE Control SET Version = 1.0"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_THAT(result.err, HasSubstr("type mismatch"));
  EXPECT_TRUE(test::read_file(copy) == before);
}

TEST(JetCliExec, PrintsTheRowsChanged) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  std::filesystem::path copy = test::copy_fixture("V2000/control-many.mdb", dir.path());
  auto result = jet_cli({"exec", copy.string(), "UPDATE Control SET Version = 1.0"});
  if (result.exit_status == 1 && result.err.find("not available") != std::string::npos)
    GTEST_SKIP() << "the engine does not write yet";
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "3\n");
  for (const auto& row : test::written_rows(copy, "Control")) EXPECT_EQ(row.at(1), "1");
}

// mdbtools writes an amount with four decimals.
std::string without_trailing_zeros(std::string amount) {
  if (amount.find('.') == std::string::npos) return amount;
  amount.erase(amount.find_last_not_of('0') + 1);
  if (amount.back() == '.') amount.pop_back();
  return amount;
}

// The one amount of the Currency column C, as the engine and mdbtools read
// it; the index on C must still match its row.
void expect_amount(const std::string& db, const std::string& amount) {
  auto rows = jet_cli({"rows", db, "T"});
  EXPECT_EQ(rows.exit_status, 0) << rows.err;
  EXPECT_EQ(rows.out, "C\n" + amount + "\n");
  if (test::mdbtools_available()) {
    const auto exported = test::mdb_export(db, "T");
    ASSERT_EQ(exported.size(), 1u);
    EXPECT_EQ(without_trailing_zeros(exported[0].at(0)), amount);
  }
  auto check = jet_cli({"check", db});
  EXPECT_EQ(check.exit_status, 0) << check.out << check.err;
}

// Currency through `jet-cli create` and `jet-cli exec`: the literal's
// digits are stored exactly to both ends of the range, the fifth decimal
// rounds half to even, and one past either end is refused unchanged.
TEST(JetCliExec, CurrencyKeepsTheLiteralsDigits) {
  test::TempDir dir;
  test::write_file(dir / "amounts.json",
                   R"({"tables": [{"name": "T", "columns": [{"name": "C", "type": "Currency"}],
                       "indexes": [{"name": "CIdx", "columns": ["C"]}],
                       "rows": [["-922337203685477.5808"]]}]})");
  const std::string db = (dir / "amounts.mdb").string();
  auto created = jet_cli({"create", db, "--from", (dir / "amounts.json").string()});
  ASSERT_EQ(created.exit_status, 0) << created.err;
  expect_amount(db, "-922337203685477.5808");

  const struct {
    const char* literal;
    const char* stored;
  } writes[] = {
      {"123456789012345.6789", "123456789012345.6789"},
      {"922337203685477.5807", "922337203685477.5807"},
      {"-922337203685477.5808", "-922337203685477.5808"},
      {"-922337203685477.58075", "-922337203685477.5808"},
      {"0.00015", "0.0002"},
      {"-2.00025", "-2.0002"},
      {"'12.34565'", "12.3456"},
      {"1.5E3", "1500"},
  };
  for (const auto& w : writes) {
    SCOPED_TRACE(w.literal);
    auto result = jet_cli({"exec", db, std::string("UPDATE T SET C = ") + w.literal});
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out, "1\n");
    expect_amount(db, w.stored);
  }
  const std::string before = test::read_file(db);
  for (const char* literal : {"922337203685477.5808", "-922337203685477.5809"}) {
    auto result = jet_cli({"exec", db, std::string("UPDATE T SET C = ") + literal});
    EXPECT_EQ(result.exit_status, 1) << literal;
    EXPECT_THAT(result.err, HasSubstr("overflow")) << literal;
    EXPECT_THAT(result.err, HasSubstr(db)) << literal;
  }
  EXPECT_TRUE(test::read_file(db) == before);
}

}  // namespace
}  // namespace norv
