// SELECT MAX over the company fixtures, in both Jet 4 file formats.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/recordset.h"
#include "platform/error.h"
#include "tests/data/installed_fixture.h"
#include "tests/support/fixtures.h"

namespace norv::data {
namespace {

using ::testing::HasSubstr;

constexpr std::string_view kCompanyQuery = "SELECT MAX(CompanyNo) FROM Company";

class MaxQuery : public ::testing::TestWithParam<std::string> {
 protected:
  jet::Value max_of(std::string_view file, std::string_view sql = kCompanyQuery) {
    test::InstalledFixture installed(GetParam() + "/" + std::string(file));
    Recordset recordset;
    recordset.set_cursor_location(Recordset::adUseClient);
    recordset.open(sql, installed.connect(), 2, 1, -1);
    EXPECT_EQ(recordset.record_count(), 1);
    EXPECT_THROW(recordset.field_value(1), InvalidArgumentError);
    return recordset.field_value(0);
  }

  std::string error_of(std::string_view file, std::string_view sql) {
    try {
      max_of(file, sql);
    } catch (const Error& e) {
      return e.what();
    }
    ADD_FAILURE() << "no error for " << sql << " on " << file;
    return {};
  }
};

TEST_P(MaxQuery, LongIntegerAndDoubleColumnsByValue) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_EQ(max_of("company.mdb"), jet::Value(std::int32_t{12}));
  EXPECT_EQ(max_of("company-big.mdb"), jet::Value(std::int32_t{40000}));
  EXPECT_EQ(max_of("company-zero.mdb"), jet::Value(std::int32_t{0}));
  EXPECT_EQ(max_of("company-negative.mdb"), jet::Value(std::int32_t{-1}));
  EXPECT_EQ(max_of("company-int.mdb"), jet::Value(std::int16_t{12}));
  EXPECT_EQ(max_of("company-double.mdb"), jet::Value(12.5));
}

TEST_P(MaxQuery, TextComparesAsText) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_EQ(max_of("company-text.mdb"), jet::Value(std::string("5")));
}

TEST_P(MaxQuery, NullsAreSkippedAndNoRowsGiveNull) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_EQ(max_of("company-nulls.mdb"), jet::Value(std::int32_t{7}));
  EXPECT_TRUE(jet::is_null(max_of("company-empty.mdb")));
}

TEST_P(MaxQuery, NamesMatchWithoutRegardToCaseAndMayBeBracketed) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_EQ(max_of("company-lower.mdb"), jet::Value(std::int32_t{9}));
  EXPECT_EQ(max_of("company.mdb", "select max([COMPANYNO]) from [company];"),
            jet::Value(std::int32_t{12}));
}

TEST_P(MaxQuery, MissingTableOrColumnNamesBothAndTheFile) {
  NORV_REQUIRE_FIXTURES();
  std::string message = error_of("company-none.mdb", kCompanyQuery);
  EXPECT_THAT(message, HasSubstr("no table Company"));
  EXPECT_THAT(message, HasSubstr("CompanyNo"));
  EXPECT_THAT(message, HasSubstr("company-none.mdb"));
  message = error_of("company-no-companyno.mdb", kCompanyQuery);
  EXPECT_THAT(message, HasSubstr("no column CompanyNo"));
  EXPECT_THAT(message, HasSubstr("Company"));
  EXPECT_THAT(message, HasSubstr("company-no-companyno.mdb"));
}

TEST_P(MaxQuery, OtherQueriesAreRefused) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_THAT(error_of("company.mdb", "SELECT CompanyNo FROM Company"), HasSubstr("not supported"));
  EXPECT_THAT(error_of("company.mdb", "UPDATE Control SET Version = 1"), HasSubstr("execute it"));
  EXPECT_THAT(error_of("company.mdb", "SELECT MAX(Version) FROM MSysObjects"),
              HasSubstr("no column Version"));
}

INSTANTIATE_TEST_SUITE_P(Jet4Formats, MaxQuery, ::testing::Values("V2000", "V2003"));

TEST(MaxQueryOnLinks, ALinkedTableIsReadInItsSourceDatabase) {
  NORV_REQUIRE_FIXTURES();
  for (std::string folder : {"V2000", "V2003", "GENERIC_JET4"}) {
    test::InstalledFixture installed(folder + "/linked.mdb");
    installed.add_beside(folder + "/control-text.mdb");
    Recordset recordset;
    recordset.open("SELECT MAX(Version) FROM Control", installed.connect(), 2, 1, -1);
    EXPECT_EQ(recordset.field_value(0), jet::Value(std::string("0.9"))) << folder;
  }
}

TEST(MaxQueryOnLinks, AMissingSourceDatabaseIsNamed) {
  NORV_REQUIRE_FIXTURES();
  test::InstalledFixture installed("V2000/linked.mdb");
  Recordset recordset;
  try {
    recordset.open("SELECT MAX(Version) FROM Control", installed.connect(), 2, 1, -1);
    FAIL() << "no error";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr("control-text.mdb"));
    EXPECT_THAT(e.what(), HasSubstr("linked.mdb"));
  }
  EXPECT_FALSE(recordset.is_open());
}

TEST(RecordsetState, AClosedRecordsetHasNoCountAndNoFields) {
  Recordset recordset;
  EXPECT_THROW(recordset.record_count(), InvalidArgumentError);
  EXPECT_THROW(recordset.field_value(0), InvalidArgumentError);
  EXPECT_THROW(recordset.open("SELECT MAX(a) FROM b", nullptr, 2, 1, -1), InvalidArgumentError);
}

}  // namespace
}  // namespace norv::data
