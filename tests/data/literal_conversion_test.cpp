#include "data/literal_conversion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/text_values.h"
#include "platform/error.h"

namespace norv::data {
namespace {

using jet::ColumnType;
using ::testing::HasSubstr;

jet::ColumnInfo column_of(ColumnType type) {
  jet::ColumnInfo column;
  column.name = "Version";
  column.type = type;
  column.max_characters = 50;
  column.precision = 18;
  column.scale = 4;
  return column;
}

Literal literal_from(std::string_view value) {
  return std::get<UpdateStatement>(
             parse_statement("UPDATE Control SET Version = " + std::string(value), "test.mdb"))
      .value;
}

jet::Value convert(std::string_view value, const jet::ColumnInfo& column) {
  return convert_literal(literal_from(value), {column, "Control", "C:\\Data\\test.mdb"});
}

jet::Value convert(std::string_view value, ColumnType type) {
  return convert(value, column_of(type));
}

template <typename T>
T convert_to(std::string_view value, ColumnType type) {
  return std::get<T>(convert(value, type));
}

TEST(ConvertToText, NumbersAsWindowsWritesThem) {
  EXPECT_EQ(convert_to<std::string>("2", ColumnType::text), "2");
  EXPECT_EQ(convert_to<std::string>("1.0", ColumnType::text), "1");
  EXPECT_EQ(convert_to<std::string>("1.10", ColumnType::text), "1.1");
  EXPECT_EQ(convert_to<std::string>("2.50", ColumnType::text), "2.5");
  EXPECT_EQ(convert_to<std::string>("0.1", ColumnType::text), "0.1");
  EXPECT_EQ(convert_to<std::string>("10.25", ColumnType::text), "10.25");
  EXPECT_EQ(convert_to<std::string>("-007", ColumnType::text), "-7");
  EXPECT_EQ(convert_to<std::string>("1E15", ColumnType::memo), "1E+15");
  EXPECT_EQ(convert_to<std::string>("True", ColumnType::text), "-1");
  EXPECT_EQ(convert_to<std::string>("'1.0'", ColumnType::text), "1.0");
  EXPECT_EQ(convert_to<std::string>("''", ColumnType::text), "");
}

TEST(ConvertToText, LongerThanTheColumnIsRefused) {
  jet::ColumnInfo two = column_of(ColumnType::text);
  two.max_characters = 2;
  EXPECT_EQ(std::get<std::string>(convert("'äb'", two)), "äb");  // characters, not bytes
  EXPECT_EQ(std::get<std::string>(convert("10", two)), "10");
  try {
    convert("1.25", two);
    FAIL() << "no error";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr("Version"));
    EXPECT_THAT(e.what(), HasSubstr("Control"));
    EXPECT_THAT(e.what(), HasSubstr("C:\\Data\\test.mdb"));
    EXPECT_THAT(e.what(), HasSubstr("at most 2"));
  }
  jet::ColumnInfo memo = column_of(ColumnType::memo);
  memo.max_characters = 0;
  EXPECT_EQ(std::get<std::string>(convert("'" + std::string(70000, 'x') + "'", memo)).size(),
            70000);
}

TEST(ConvertToIntegers, RoundHalfToEven) {
  EXPECT_EQ(convert_to<std::int32_t>("2.5", ColumnType::long_integer), 2);
  EXPECT_EQ(convert_to<std::int32_t>("3.5", ColumnType::long_integer), 4);
  EXPECT_EQ(convert_to<std::int32_t>("-2.5", ColumnType::long_integer), -2);
  EXPECT_EQ(convert_to<std::int32_t>("-3.5", ColumnType::long_integer), -4);
  EXPECT_EQ(convert_to<std::int32_t>("2.5000001", ColumnType::long_integer), 3);
  EXPECT_EQ(convert_to<std::int16_t>("1.0", ColumnType::integer), 1);
  EXPECT_EQ(convert_to<std::int16_t>("0.5", ColumnType::integer), 0);
  EXPECT_EQ(convert_to<std::uint8_t>("254.5", ColumnType::byte), 254);
  EXPECT_EQ(convert_to<std::int16_t>("True", ColumnType::integer), -1);
}

TEST(ConvertToIntegers, OutOfRangeAfterRoundingOverflows) {
  EXPECT_EQ(convert_to<std::uint8_t>("255.4", ColumnType::byte), 255);
  EXPECT_THROW(convert("255.5", ColumnType::byte), OverflowError);
  EXPECT_THROW(convert("256", ColumnType::byte), OverflowError);
  EXPECT_THROW(convert("-1", ColumnType::byte), OverflowError);
  EXPECT_EQ(convert_to<std::uint8_t>("-0.5", ColumnType::byte), 0);
  EXPECT_EQ(convert_to<std::int16_t>("32767.4", ColumnType::integer), 32767);
  EXPECT_THROW(convert("32767.5", ColumnType::integer), OverflowError);
  EXPECT_EQ(convert_to<std::int16_t>("-32768.5", ColumnType::integer), -32768);
  EXPECT_THROW(convert("-32769", ColumnType::integer), OverflowError);
  EXPECT_EQ(convert_to<std::int32_t>("2147483647.4", ColumnType::long_integer), 2147483647);
  EXPECT_THROW(convert("2147483648", ColumnType::long_integer), OverflowError);
  EXPECT_THROW(convert("1E300", ColumnType::long_integer), OverflowError);
}

TEST(ConvertToFloatingPoint, NearestValue) {
  EXPECT_EQ(convert_to<double>("0.1", ColumnType::double_), 0.1);
  EXPECT_EQ(convert_to<double>("7", ColumnType::double_), 7.0);
  EXPECT_EQ(convert_to<float>("0.1", ColumnType::single), 0.1f);
  EXPECT_EQ(convert_to<float>("16777217", ColumnType::single), 16777216.0f);
  EXPECT_THROW(convert("1E39", ColumnType::single), OverflowError);
}

TEST(ConvertToCurrency, FourDecimalsHalfToEven) {
  EXPECT_EQ(convert_to<jet::Currency>("1.0", ColumnType::currency).scaled, 10000);
  EXPECT_EQ(convert_to<jet::Currency>("0.9", ColumnType::currency).scaled, 9000);
  EXPECT_EQ(convert_to<jet::Currency>("1.00025", ColumnType::currency).scaled, 10002);
  EXPECT_EQ(convert_to<jet::Currency>("1.00035", ColumnType::currency).scaled, 10004);
  EXPECT_EQ(convert_to<jet::Currency>("-2", ColumnType::currency).scaled, -20000);
  EXPECT_EQ(convert_to<jet::Currency>("2147483647", ColumnType::currency).scaled, 21474836470000);
  EXPECT_THROW(convert("1E15", ColumnType::currency), OverflowError);
}

// The literal's own digits, not the nearest double: 19 significant digits
// survive, the range ends exactly at the stored integer's, and the fifth
// decimal rounds half to even on the magnitude.
TEST(ConvertToCurrency, ExactDigitsToTheEdgesOfTheRange) {
  struct Case {
    const char* literal;
    std::int64_t scaled;
  };
  const Case cases[] = {
      {"922337203685477.5807", INT64_MAX},
      {"-922337203685477.5808", INT64_MIN},
      {"123456789012345.6789", 1234567890123456789},
      {"-123456789012345.6789", -1234567890123456789},
      {"922337203685477.58074999", INT64_MAX},
      {"-922337203685477.58075", INT64_MIN},
      {"-922337203685477.58085", INT64_MIN},
      {"'-922337203685477.5808'", INT64_MIN},
      {"0.00005", 0},
      {"0.00015", 2},
      {"0.00025", 2},
      {"0.000250000000000000001", 3},
      {"0.00004999999999999999999", 0},
      {"-0.00005", 0},
      {"-0.00015", -2},
      {"-1.00025", -10002},
      {"-1.00035", -10004},
      {"0.000001", 0},
      {"000000000000000000000000012.34500", 123450},
      {".5", 5000},
      {"5.", 50000},
      {"1.5E3", 15000000},
      {"1.5e-3", 15},
      {"15E-6", 0},
      {"25E-5", 2},
      {"35E-5", 4},
      {"9.223372036854775807E14", INT64_MAX},
      {"-9223372036854775808E-4", INT64_MIN},
      {"0E400", 0},
      {"1E-400", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(convert_to<jet::Currency>(c.literal, ColumnType::currency).scaled, c.scaled)
        << c.literal;
}

TEST(ConvertToCurrency, OnePastEitherEndIsAnOverflow) {
  for (const char* literal :
       {"922337203685477.5808", "-922337203685477.5809", "922337203685477.58075",
        "-922337203685477.58086", "922337203685478", "1E15", "-1E15", "1E300",
        "99999999999999999999999999", "'922337203685477.5808'"})
    EXPECT_THROW(convert(literal, ColumnType::currency), OverflowError) << literal;
}

TEST(ConvertToDecimal, ToTheColumnsScaleExtraDigitsCut) {
  jet::Decimal d = convert_to<jet::Decimal>("1.0", ColumnType::decimal);
  EXPECT_EQ(d.magnitude, (std::array<std::uint32_t, 4>{0, 0, 0, 10000}));
  EXPECT_EQ(d.scale, 4);
  EXPECT_FALSE(d.negative);
  d = convert_to<jet::Decimal>("-1.23456", ColumnType::decimal);
  EXPECT_EQ(d.magnitude[3], 12345u);
  EXPECT_TRUE(d.negative);
  d = convert_to<jet::Decimal>("12", ColumnType::decimal);
  EXPECT_EQ(d.magnitude[3], 120000u);
  d = convert_to<jet::Decimal>("0.00001", ColumnType::decimal);
  EXPECT_EQ(d.magnitude, (std::array<std::uint32_t, 4>{}));
  EXPECT_FALSE(d.negative);  // no negative zero
  d = convert_to<jet::Decimal>("-0.00001", ColumnType::decimal);
  EXPECT_FALSE(d.negative);
}

TEST(ConvertToDecimal, TooManyIntegerDigitsAreRefused) {
  EXPECT_NO_THROW(convert("99999999999999", ColumnType::decimal));  // 14 = 18 - 4 digits
  EXPECT_THROW(convert("999999999999999", ColumnType::decimal), OverflowError);
  jet::ColumnInfo wide = column_of(ColumnType::decimal);
  wide.precision = 28;
  wide.scale = 0;
  jet::Decimal d = std::get<jet::Decimal>(convert("1E27", wide));
  // 10^27 = 0x033B2E3C_9FD0803C_E8000000
  EXPECT_EQ(d.magnitude, (std::array<std::uint32_t, 4>{0, 0x033B2E3C, 0x9FD0803C, 0xE8000000}));
  EXPECT_THROW(convert("1E28", wide), OverflowError);
}

TEST(ConvertToYesNo, NonZeroIsYes) {
  EXPECT_TRUE(convert_to<bool>("1.0", ColumnType::boolean));
  EXPECT_TRUE(convert_to<bool>("-0.5", ColumnType::boolean));
  EXPECT_FALSE(convert_to<bool>("0", ColumnType::boolean));
  EXPECT_FALSE(convert_to<bool>("0.0", ColumnType::boolean));
  EXPECT_TRUE(convert_to<bool>("True", ColumnType::boolean));
  EXPECT_FALSE(convert_to<bool>("'false'", ColumnType::boolean));
  EXPECT_TRUE(convert_to<bool>("' 2 '", ColumnType::boolean));
  EXPECT_THROW(convert("'yes please'", ColumnType::boolean), InvalidArgumentError);
  EXPECT_THROW(convert("NULL", ColumnType::boolean), InvalidArgumentError);
}

TEST(ConvertToDateTime, NumbersAreDateSerials) {
  EXPECT_EQ(convert_to<jet::DateTime>("0", ColumnType::date_time).serial, 0);
  EXPECT_EQ(convert_to<jet::DateTime>("1.5", ColumnType::date_time).serial, 1.5);
  EXPECT_EQ(convert_to<jet::DateTime>("-657434", ColumnType::date_time).serial, -657434);
  EXPECT_THROW(convert("-657435", ColumnType::date_time), OverflowError);
  EXPECT_NO_THROW(convert("2958465.9", ColumnType::date_time));
  EXPECT_THROW(convert("2958466", ColumnType::date_time), OverflowError);
}

TEST(ConvertToDateTime, IsoTextIsADate) {
  EXPECT_EQ(convert_to<jet::DateTime>("'1899-12-30'", ColumnType::date_time).serial, 0);
  EXPECT_EQ(convert_to<jet::DateTime>("'2001-02-03'", ColumnType::date_time).serial, 36925);
  EXPECT_DOUBLE_EQ(convert_to<jet::DateTime>("'2001-02-03T06:00'", ColumnType::date_time).serial,
                   36925.25);
  EXPECT_DOUBLE_EQ(convert_to<jet::DateTime>("'1899-12-29 06:00:00'", ColumnType::date_time).serial,
                   -1.25);
  EXPECT_EQ(days_since_1899_12_30(100, 1, 1), -657434);
  EXPECT_EQ(days_since_1899_12_30(9999, 12, 31), 2958465);
  for (std::string_view text : {"'2001-02-30'", "'2001-13-01'", "'03.02.2001'", "'1.5'",
                                "'2001-02-03 25:00'", "'2001-02-03x'"})
    EXPECT_THROW(convert(text, ColumnType::date_time), InvalidArgumentError) << text;
}

TEST(ConvertToGuidBinaryOle, NumbersAreATypeMismatch) {
  for (ColumnType type : {ColumnType::guid, ColumnType::binary, ColumnType::ole}) {
    try {
      convert("1.0", type);
      FAIL() << "no error";
    } catch (const InvalidArgumentError& e) {
      EXPECT_THAT(e.what(), HasSubstr("type mismatch"));
      EXPECT_THAT(e.what(), HasSubstr("Version"));
    }
    EXPECT_THROW(convert("'1.0'", type), InvalidArgumentError);
    EXPECT_TRUE(jet::is_null(convert("NULL", type)));
  }
  jet::Guid guid =
      convert_to<jet::Guid>("'{6F9619FF-8B86-D011-B42D-00C04FC964FF}'", ColumnType::guid);
  EXPECT_EQ(guid.bytes,
            (std::array<std::uint8_t, 16>{0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4,
                                          0x2D, 0x00, 0xC0, 0x4F, 0xC9, 0x64, 0xFF}));
  EXPECT_THROW(convert("'{6F9619FF-8B86-D011-B42D00C04FC964FF}'", ColumnType::guid),
               InvalidArgumentError);
}

TEST(ConvertText, PlainNumbersGoIntoNumericColumnsOtherTextDoesNot) {
  EXPECT_EQ(convert_to<std::int32_t>("' 12 '", ColumnType::long_integer), 12);
  EXPECT_EQ(convert_to<std::int32_t>("'2.5'", ColumnType::long_integer), 2);
  EXPECT_EQ(convert_to<double>("'-1.5E2'", ColumnType::double_), -150);
  EXPECT_EQ(convert_to<jet::Currency>("'0.9'", ColumnType::currency).scaled, 9000);
  for (std::string_view text : {"''", "'abc'", "'1,5'", "'$5'", "'1.0.0'", "'&H1F'"})
    EXPECT_THROW(convert(text, ColumnType::double_), InvalidArgumentError) << text;
  EXPECT_THROW(convert("'99999'", ColumnType::integer), OverflowError);
}

TEST(ConvertNull, NullableColumnsTakeItRequiredOnesRefuse) {
  EXPECT_TRUE(jet::is_null(convert("NULL", ColumnType::text)));
  EXPECT_TRUE(jet::is_null(convert("NULL", ColumnType::long_integer)));
  jet::ColumnInfo required = column_of(ColumnType::text);
  required.required = true;
  EXPECT_THROW(convert("NULL", required), InvalidArgumentError);
  EXPECT_EQ(std::get<std::string>(convert("1", required)), "1");
}

TEST(ConvertColumnsThatRefuseUpdates, AutoNumberAndValidationRules) {
  jet::ColumnInfo autonumber = column_of(ColumnType::long_integer);
  autonumber.autonumber = true;
  try {
    convert("1", autonumber);
    FAIL() << "no error";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr("cannot be updated"));
  }
  jet::ColumnInfo validated = column_of(ColumnType::text);
  validated.has_validation_rule = true;
  EXPECT_THROW(convert("'1.0'", validated), NotSupportedError);
}

}  // namespace
}  // namespace norv::data
