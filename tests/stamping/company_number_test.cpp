#include "stamping/company_number.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"

namespace norv::stamping {
namespace {

std::int16_t convert(const jet::Value& value) { return *company_number_from(value, "C.mdb"); }

TEST(CompanyNumber, ConvertsNumbersAsCIntRoundingHalvesToEven) {
  EXPECT_EQ(convert(std::int32_t{12}), 12);
  EXPECT_EQ(convert(std::uint8_t{200}), 200);
  EXPECT_EQ(convert(std::int16_t{-32768}), -32768);
  EXPECT_EQ(convert(12.5), 12);
  EXPECT_EQ(convert(13.5), 14);
  EXPECT_EQ(convert(0.5f), 0);
  EXPECT_EQ(convert(-2.5), -2);
  EXPECT_EQ(convert(12.51), 13);
  EXPECT_EQ(convert(32767.4), 32767);
  EXPECT_EQ(convert(-32768.5), -32768);
  EXPECT_EQ(convert(jet::Currency{125000}), 12);
  EXPECT_EQ(convert(jet::DateTime{3.5}), 4);
  EXPECT_EQ(convert(jet::Decimal{false, {0, 0, 0, 125}, 1}), 12);
  EXPECT_EQ(convert(true), -1);
  EXPECT_EQ(convert(false), 0);
}

TEST(CompanyNumber, ReadsTextAsAPlainNumber) {
  EXPECT_EQ(convert(std::string("5")), 5);
  EXPECT_EQ(convert(std::string(" 12 ")), 12);
  EXPECT_EQ(convert(std::string("-3")), -3);
  EXPECT_EQ(convert(std::string("2.5")), 2);
  for (const char* text : {"", " ", "abc", "1x", "--1", "+-1", "1e3"}) {
    EXPECT_THROW(convert(std::string(text)), InvalidArgumentError) << text;
  }
}

TEST(CompanyNumber, NullMeansNoCompanyAndOtherKindsAreNoNumber) {
  EXPECT_FALSE(company_number_from(jet::Null{}, "C.mdb").has_value());
  EXPECT_THROW(convert(jet::Binary{{1, 2}}), InvalidArgumentError);
  EXPECT_THROW(convert(jet::Guid{}), InvalidArgumentError);
}

TEST(CompanyNumber, OutsideSixteenBitsIsAnOverflowNamingTheFile) {
  for (const jet::Value& value : {jet::Value{std::int32_t{40000}}, jet::Value{32767.5},
                                  jet::Value{-32769.0}, jet::Value{std::string("32768")}}) {
    try {
      convert(value);
      ADD_FAILURE() << "expected an overflow";
    } catch (const OverflowError& e) {
      EXPECT_NE(std::string(e.what()).find("C.mdb"), std::string::npos);
    }
  }
}

TEST(CompanyNumber, DatabaseNamesHaveAtLeastFourDigits) {
  EXPECT_EQ(company_database_name(0), "BV0000.mdb");
  EXPECT_EQ(company_database_name(7), "BV0007.mdb");
  EXPECT_EQ(company_database_name(123), "BV0123.mdb");
  EXPECT_EQ(company_database_name(10000), "BV10000.mdb");
  EXPECT_EQ(company_database_name(32767), "BV32767.mdb");
}

}  // namespace
}  // namespace norv::stamping
