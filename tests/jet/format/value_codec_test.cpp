// The stored bytes of each column type, both ways, and the values a column
// refuses.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "jet/base/engine_errors.h"
#include "jet/format/value_codec.h"
#include "jet/types/decimal.h"
#include "platform/error.h"
#include "tests/jet/codec_support.h"

namespace norv::jet {
namespace {

using test::fixed_column;
using test::hex;
using test::variable_column;
using ::testing::HasSubstr;

const std::filesystem::path file = "/data/values.mdb";
const TextCodec text4(FormatVersion::jet4, 1252);
const RowOrigin origin{"T", 7, 3};

Value decode(const ColumnDef& column, const std::vector<std::uint8_t>& bytes) {
  return with_file_context(file, [&] { return decode_value(column, bytes, text4, origin); });
}

struct Case {
  ColumnType type;
  std::uint16_t length;
  const char* stored;
  Value value;
};

TEST(ValueCodec, FixedTypesBothWays) {
  Decimal decimal{false, {0, 0, 0, 9000}, 4};
  Guid guid{{0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D, 0x00, 0xC0, 0x4F,
             0xC9, 0x64, 0xFF}};
  const Case cases[] = {
      {ColumnType::byte, 1, "09", std::uint8_t{9}},
      {ColumnType::byte, 1, "ff", std::uint8_t{255}},
      {ColumnType::integer, 2, "feff", std::int16_t{-2}},
      {ColumnType::long_integer, 4, "00000080", std::int32_t{std::numeric_limits<std::int32_t>::min()}},
      {ColumnType::long_integer, 4, "0c000000", std::int32_t{12}},
      {ColumnType::currency, 8, "2823000000000000", Currency{9000}},
      {ColumnType::currency, 8, "d8dcffffffffffff", Currency{-9000}},
      {ColumnType::single, 4, "0000003f", 0.5f},
      {ColumnType::double_, 8, "cdccccccccccec3f", 0.9},
      {ColumnType::date_time, 8, "26bf5872a507e240", DateTime{36925.17020833334}},
      {ColumnType::guid, 16, "ff19966f868b11d0b42d00c04fc964ff", guid},
      {ColumnType::decimal, 17, "00 00000000 00000000 00000000 28230000", decimal},
  };
  for (const auto& c : cases) {
    ColumnDef column = fixed_column("C", c.type, 0, 0, c.length);
    column.precision = 18;
    column.scale = 4;
    SCOPED_TRACE(std::string(column_type_name(c.type)) + " " + c.stored);
    EXPECT_EQ(decode(column, hex(c.stored)), c.value);
    EXPECT_EQ(encode_value(column, c.value, text4), hex(c.stored));
    EXPECT_EQ(fixed_value_size(c.type), c.length);
  }
}

TEST(ValueCodec, DecimalSignAndMagnitudeWordOrder) {
  ColumnDef column = fixed_column("D", ColumnType::decimal, 0, 0, 17);
  column.precision = 28;
  column.scale = 0;
  // Magnitude 2^64 + 1: the most significant word comes first.
  auto bytes = hex("80 00000000 01000000 00000000 01000000");
  Decimal value = std::get<Decimal>(decode(column, bytes));
  EXPECT_TRUE(value.negative);
  EXPECT_EQ(value.magnitude, (std::array<std::uint32_t, 4>{{0, 1, 0, 1}}));
  EXPECT_EQ(decimal_to_string(value), "-18446744073709551617");
  // Readers treat any non-zero sign byte as negative; writers store 0x80.
  bytes[0] = 0x01;
  EXPECT_EQ(encode_value(column, decode(column, bytes), text4)[0], 0x80);
}

TEST(ValueCodec, DecimalIsBroughtToTheColumnScaleOnlyWhenExact) {
  ColumnDef column = fixed_column("D", ColumnType::decimal, 0, 0, 17);
  column.precision = 6;
  column.scale = 2;
  auto stored = encode_value(column, *parse_decimal("1.5"), text4);
  EXPECT_EQ(decimal_to_string(std::get<Decimal>(decode(column, stored))), "1.50");
  EXPECT_NO_THROW(encode_value(column, *parse_decimal("1.2300"), text4));
  EXPECT_THROW(encode_value(column, *parse_decimal("1.234"), text4), InvalidArgumentError);
  EXPECT_THROW(encode_value(column, *parse_decimal("12345.6"), text4), OverflowError);
  EXPECT_NO_THROW(encode_value(column, *parse_decimal("-9999.99"), text4));
}

TEST(ValueCodec, TextAndBinaryInEitherArea) {
  ColumnDef version = variable_column("Version", ColumnType::text, 1, 0, 100);
  EXPECT_EQ(decode(version, hex("30002e003900")), Value{std::string("0.9")});
  EXPECT_EQ(encode_value(version, std::string("0.9"), text4), hex("30002e003900"));
  version.extra_flags = 0x01;
  EXPECT_EQ(encode_value(version, std::string("0.9"), text4), hex("fffe302e39"));

  ColumnDef blob = variable_column("B", ColumnType::binary, 2, 1, 4);
  EXPECT_EQ(decode(blob, hex("0102")), (Value{Binary{{1, 2}}}));
  EXPECT_EQ(encode_value(blob, Binary{{1, 2, 3, 4}}, text4), hex("01020304"));
  EXPECT_THROW(encode_value(blob, Binary{{1, 2, 3, 4, 5}}, text4), InvalidArgumentError);

  // A Long stored in the variable area has the same encoding.
  ColumnDef id = variable_column("ID", ColumnType::long_integer, 3, 2, 4);
  EXPECT_EQ(decode(id, hex("05000000")), Value{std::int32_t{5}});
}

TEST(ValueCodec, TextLimitIsInCharacters) {
  ColumnDef column = variable_column("Version", ColumnType::text, 0, 0, 4);  // 2 characters
  EXPECT_NO_THROW(encode_value(column, std::string("\u00e4\u00e4"), text4));
  try {
    with_file_context(file, [&] { return encode_value(column, std::string("abc"), text4); });
    FAIL() << "no error";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr("values.mdb"));
    EXPECT_THAT(e.what(), HasSubstr("Version"));
    EXPECT_THAT(e.what(), HasSubstr("at most 2 characters"));
  }
  TextCodec text3(FormatVersion::jet3, 1252);
  ColumnDef jet3_column = variable_column("Version", ColumnType::text, 0, 0, 4);
  EXPECT_NO_THROW(encode_value(jet3_column, std::string("abcd"), text3));
  EXPECT_THROW(encode_value(jet3_column, std::string("abcde"), text3), InvalidArgumentError);
}

TEST(ValueCodec, LongValuesPassThroughAsTheirRawField) {
  ColumnDef memo = variable_column("Notes", ColumnType::memo, 0, 0, 0);
  auto field = hex("03000080 00000000 00000000 616263");
  EXPECT_EQ(decode(memo, field), Value{Binary{field}});
  EXPECT_EQ(encode_value(memo, Binary{field}, text4), field);
  EXPECT_THROW(encode_value(memo, std::string("abc"), text4), InvalidArgumentError);
}

TEST(ValueCodec, UnknownTypesReadAsBinary) {
  ColumnDef odd = variable_column("Data", ColumnType{0x11}, 0, 0, 3992);
  EXPECT_EQ(decode(odd, hex("0102")), (Value{Binary{{1, 2}}}));
}

TEST(ValueCodec, WrongSizeIsCorruptAndNamesTheRow) {
  ColumnDef id = fixed_column("ID", ColumnType::long_integer, 0, 0, 4);
  try {
    decode(id, hex("010203"));
    FAIL() << "no error";
  } catch (const CorruptDatabaseError& e) {
    EXPECT_THAT(e.what(), HasSubstr("values.mdb is not a valid Jet database"));
    EXPECT_THAT(e.what(), HasSubstr("page 7 row 3"));
    EXPECT_THAT(e.what(), HasSubstr("ID"));
  }
}

TEST(ValueCodec, WrongAlternativeIsRefusedNamingColumnAndFile) {
  ColumnDef id = fixed_column("ID", ColumnType::long_integer, 0, 0, 4);
  try {
    with_file_context(file, [&] { return encode_value(id, std::int16_t{4}, text4); });
    FAIL() << "no error";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr("values.mdb: column ID (Long) cannot hold an Integer"));
  }
  EXPECT_THROW(encode_value(id, std::string("4"), text4), InvalidArgumentError);
  ColumnDef flag = fixed_column("F", ColumnType::boolean, 0, 0, 1);
  EXPECT_THROW(encode_value(flag, true, text4), InternalError);  // the row codec's business
}

TEST(Decimal, ParsesAndPrints) {
  auto value = parse_decimal("-0012.3400");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->scale, 4);
  EXPECT_EQ(decimal_to_string(*value), "-12.3400");
  EXPECT_EQ(decimal_to_string(*parse_decimal("0.09")), "0.09");
  EXPECT_EQ(decimal_to_string(*parse_decimal("-0")), "0");
  EXPECT_EQ(decimal_digit_count(*parse_decimal("123.45")), 5);
  EXPECT_EQ(decimal_to_string(*parse_decimal("340282366920938463463374607431768211455")),
            "340282366920938463463374607431768211455");
  for (const char* bad : {"", "-", ".", "1.2.3", "1e5", "12a", "340282366920938463463374607431768211456"})
    EXPECT_FALSE(parse_decimal(bad)) << bad;
}

TEST(Decimal, RescalesExactlyOrNotAtAll) {
  auto value = *parse_decimal("1.50");
  EXPECT_EQ(decimal_to_string(*rescale_decimal(value, 4)), "1.5000");
  EXPECT_EQ(decimal_to_string(*rescale_decimal(value, 1)), "1.5");
  EXPECT_FALSE(rescale_decimal(value, 0));
  EXPECT_FALSE(rescale_decimal(*parse_decimal("340282366920938463463374607431768211455"), 1));
}

}  // namespace
}  // namespace norv::jet
