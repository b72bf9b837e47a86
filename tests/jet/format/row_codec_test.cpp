// Rows of both formats: hand-built bytes, round trips, rows older than
// their table, and rows that cannot be right.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "jet/base/engine_errors.h"
#include "jet/format/long_value.h"
#include "jet/format/row_codec.h"
#include "platform/error.h"
#include "tests/jet/codec_support.h"

namespace norv::jet {
namespace {

using test::fixed_column;
using test::hex;
using test::table_of;
using test::variable_column;
using ::testing::HasSubstr;

const std::filesystem::path file = "/data/rows.mdb";
const TextCodec text4(FormatVersion::jet4, 1252);
const TextCodec text3(FormatVersion::jet3, 1252);
const RowOrigin origin{"Control", 27, 1};

std::vector<Value> decode4(const TableDef& t, const std::vector<std::uint8_t>& row) {
  return with_file_context(file, [&] { return decode_row(jet4_format(), t, row, text4, origin); });
}
std::vector<std::uint8_t> encode4(const TableDef& t, const std::vector<Value>& values) {
  return with_file_context(file, [&] { return encode_row(jet4_format(), t, values, text4, "Control"); });
}
std::vector<Value> decode3(const TableDef& t, const std::vector<std::uint8_t>& row) {
  return with_file_context(file, [&] { return decode_row(jet3_format(), t, row, text3, origin); });
}
std::vector<std::uint8_t> encode3(const TableDef& t, const std::vector<Value>& values) {
  return with_file_context(file, [&] { return encode_row(jet3_format(), t, values, text3, "Control"); });
}

// Control(ID Long, Version Text(50)) as the fixtures have it.
TableDef control_table() {
  return table_of({fixed_column("ID", ColumnType::long_integer, 0, 0, 4),
                   variable_column("Version", ColumnType::text, 1, 0, 100)});
}

Value text(const char* s) { return std::string(s); }

TEST(Jet4Row, DecodesAndEncodesTheFixtureRow) {
  auto row = hex("0200 04000000 30002e003900 0c00 0600 0100 03");
  EXPECT_EQ(decode4(control_table(), row), (std::vector<Value>{std::int32_t{4}, text("0.9")}));
  EXPECT_EQ(encode4(control_table(), {std::int32_t{4}, text("0.9")}), row);
}

TEST(Jet4Row, RowWrittenBeforeTheVariableColumnExistedHasNoOffsetTable) {
  // Written when Control had only ID: one column, no variable part.
  EXPECT_EQ(decode4(control_table(), hex("0100 01000000 01")),
            (std::vector<Value>{std::int32_t{1}, Null{}}));
}

TEST(Jet4Row, EmptyTextIsNotNull) {
  auto empty = encode4(control_table(), {std::int32_t{5}, text("")});
  EXPECT_EQ(empty, hex("0200 05000000 0600 0600 0100 03"));
  auto null = encode4(control_table(), {std::int32_t{5}, Null{}});
  EXPECT_EQ(null, hex("0200 05000000 0600 0600 0100 01"));
  EXPECT_EQ(decode4(control_table(), empty)[1], text(""));
  EXPECT_EQ(decode4(control_table(), null)[1], Value{Null{}});
}

TEST(Jet4Row, BooleansLiveInTheNullMaskAndTablesWithoutVariableColumnsHaveNoTrailer) {
  TableDef t = table_of({fixed_column("Released", ColumnType::boolean, 0, 0, 1),
                         fixed_column("Build", ColumnType::long_integer, 1, 0, 4)});
  EXPECT_EQ(encode4(t, {true, std::int32_t{7}}), hex("0200 07000000 03"));
  // A null fixed column keeps its width, zero-filled; Null stores No.
  EXPECT_EQ(encode4(t, {Null{}, Null{}}), hex("0200 00000000 00"));
  EXPECT_EQ(decode4(t, hex("0200 07000000 01")), (std::vector<Value>{true, Null{}}));
  EXPECT_EQ(decode4(t, hex("0200 07000000 02")), (std::vector<Value>{false, std::int32_t{7}}));
  EXPECT_THROW(encode4(t, {std::int32_t{1}, std::int32_t{7}}), InvalidArgumentError);
}

// ID #0, A #1 (slot 0), C #3 (slot 2): column 2 and slot 1 were deleted.
TableDef table_with_deleted_column() {
  return table_of({fixed_column("ID", ColumnType::long_integer, 0, 0, 4),
                   variable_column("A", ColumnType::text, 1, 0, 20),
                   variable_column("C", ColumnType::text, 3, 2, 20)},
                  4, 3);
}

TEST(Jet4Row, DeletedColumnsKeepEmptySlots) {
  auto row = hex("0400 01000000 6100 6300 0a00 0800 0800 0600 0300 0b");
  EXPECT_EQ(encode4(table_with_deleted_column(), {std::int32_t{1}, text("a"), text("c")}), row);
  EXPECT_EQ(decode4(table_with_deleted_column(), row),
            (std::vector<Value>{std::int32_t{1}, text("a"), text("c")}));
}

TEST(Jet4Row, ColumnsTheRowPredatesReadAsNull) {
  // Three columns and one variable slot when written.
  auto short_row = hex("0300 01000000 6100 0800 0600 0100 03");
  EXPECT_EQ(decode4(table_with_deleted_column(), short_row),
            (std::vector<Value>{std::int32_t{1}, text("a"), Null{}}));
  // Column count covers C, but the offset table stops before its slot.
  auto fewer_slots = hex("0400 01000000 6100 0800 0600 0100 0b");
  EXPECT_EQ(decode4(table_with_deleted_column(), fewer_slots)[2], Value{Null{}});
}

TEST(Jet4Row, LongValueFieldsPassThrough) {
  TableDef t = table_of({fixed_column("ID", ColumnType::long_integer, 0, 0, 4),
                         variable_column("Notes", ColumnType::memo, 1, 0, 0)});
  auto field = inline_long_value(hex("fffe 302e39"));
  auto row = encode4(t, {std::int32_t{1}, Binary{field}});
  EXPECT_EQ(std::get<Binary>(decode4(t, row)[1]).bytes, field);
}

TEST(Jet4Row, RowsOverTheSizeLimitAreRefused) {
  std::vector<ColumnDef> columns;
  std::vector<Value> values;
  for (std::uint16_t i = 0; i < 9; ++i) {
    columns.push_back(variable_column("T" + std::to_string(i), ColumnType::text, i, i, 510));
    values.push_back(std::string(255, 'x'));
  }
  try {
    encode4(table_of(columns), values);
    FAIL() << "no error";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), HasSubstr("rows.mdb: table Control"));
    EXPECT_THAT(e.what(), HasSubstr("at most 4060"));
  }
}

void expect_corrupt(const TableDef& t, const char* row, const char* what) {
  try {
    decode4(t, hex(row));
    ADD_FAILURE() << "no error for " << row;
  } catch (const CorruptDatabaseError& e) {
    EXPECT_THAT(e.what(), HasSubstr("rows.mdb is not a valid Jet database: table Control, page 27 row 1"));
    EXPECT_THAT(e.what(), HasSubstr(what)) << row;
  }
}

TEST(Jet4Row, ImpossibleRowsAreCorrupt) {
  TableDef t = control_table();
  expect_corrupt(t, "0200 04000000 30002e003900 0600 0c00 0100 03", "out of order");
  expect_corrupt(t, "0200 04000000 30002e003900 2000 0600 0100 03", "past the variable data");
  expect_corrupt(t, "0200 04000000 30002e003900 0c00 0600 ff00 03", "cannot hold 255 variable");
  expect_corrupt(t, "ff00 0400", "null mask");
  expect_corrupt(t, "0100 0400 01", "fixed column ID");
  expect_corrupt(t, "02", "too short");
}

TEST(Jet4Row, DamagedRowsNeverDecodeOutOfBounds) {
  // Every truncation and many byte flips of valid rows: each decodes or is
  // refused as corrupt, nothing else (the sanitizer build checks the reads).
  std::mt19937 random(12345);
  for (const auto& t : {control_table(), table_with_deleted_column()}) {
    auto row = encode4(t, t.columns.size() == 2
                              ? std::vector<Value>{std::int32_t{4}, text("0.9")}
                              : std::vector<Value>{std::int32_t{1}, text("a"), text("c")});
    for (int trial = 0; trial < 2000; ++trial) {
      auto damaged = row;
      if (trial < static_cast<int>(row.size())) {
        damaged.resize(static_cast<std::size_t>(trial));
      } else {
        damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
      }
      try {
        decode4(t, damaged);
      } catch (const CorruptDatabaseError&) {
      }
    }
  }
}

TableDef jet3_control() {
  return table_of({fixed_column("ID", ColumnType::long_integer, 0, 0, 4),
                   variable_column("Version", ColumnType::text, 1, 0, 50)});
}

TEST(Jet3Row, ShortRowHasOneByteOffsetsAndNoJumpTable) {
  auto row = hex("02 04000000 302e39 08 05 01 03");
  EXPECT_EQ(encode3(jet3_control(), {std::int32_t{4}, text("0.9")}), row);
  EXPECT_EQ(decode3(jet3_control(), row), (std::vector<Value>{std::int32_t{4}, text("0.9")}));
  EXPECT_EQ(decode3(jet3_control(), hex("01 01000000 01")),
            (std::vector<Value>{std::int32_t{1}, Null{}}));
}

TEST(Jet3Row, LongRowUsesTheJumpTable) {
  TableDef t = table_of({variable_column("A", ColumnType::text, 0, 0, 255),
                         variable_column("B", ColumnType::text, 1, 1, 255)});
  std::string a(130, 'a');
  std::string b(130, 'b');
  auto row = encode3(t, {a, b});
  std::vector<std::uint8_t> expected{0x02};
  expected.insert(expected.end(), a.begin(), a.end());
  expected.insert(expected.end(), b.begin(), b.end());
  // eod 261 -> 05, off[1] 131, off[0] 1, jump[0] = 2 (eod is past 256), nvar, mask.
  for (std::uint8_t x : {0x05, 0x83, 0x01, 0x02, 0x02, 0x03}) expected.push_back(x);
  EXPECT_EQ(row, expected);
  EXPECT_EQ(decode3(t, row), (std::vector<Value>{a, b}));
}

TEST(Jet3Row, UnneededJumpSlotHoldsTheFiller) {
  // 22 variable columns ending at offset 240: the row is 268 bytes long, so
  // it reserves a jump slot that no offset needs.
  std::vector<ColumnDef> columns;
  std::vector<Value> values;
  for (std::uint16_t i = 0; i < 22; ++i) {
    columns.push_back(variable_column("C" + std::to_string(i), ColumnType::text, i, i, 20));
    values.push_back(std::string(i == 21 ? 8 : 11, static_cast<char>('a' + i)));
  }
  TableDef t = table_of(columns);
  auto row = encode3(t, values);
  ASSERT_EQ(row.size(), 268u);
  EXPECT_EQ(row[268 - 3 - 2], 0xFF);
  EXPECT_EQ(decode3(t, row), values);
}

TEST(Jet3Row, RoundTripsAcrossJumpBoundaries) {
  TableDef t = table_of({fixed_column("ID", ColumnType::long_integer, 0, 0, 4),
                         variable_column("A", ColumnType::text, 1, 0, 255),
                         variable_column("B", ColumnType::text, 2, 1, 255),
                         variable_column("C", ColumnType::text, 3, 2, 255),
                         variable_column("D", ColumnType::text, 4, 3, 255)});
  for (std::size_t a = 0; a <= 255; a += 15) {
    for (std::size_t b : {0u, 1u, 250u, 255u}) {
      std::vector<Value> values{std::int32_t{1}, std::string(a, 'a'), std::string(b, 'b'),
                                Null{}, std::string(255 - b, 'd')};
      EXPECT_EQ(decode3(t, encode3(t, values)), values) << a << " " << b;
    }
  }
}

TEST(Jet3Row, ImpossibleRowsAreCorrupt) {
  EXPECT_THROW(decode3(jet3_control(), hex("02 04000000 302e39 05 08 01 03")),
               CorruptDatabaseError);
  EXPECT_THROW(decode3(jet3_control(), hex("02 04000000 302e39 08 05 09 03")),
               CorruptDatabaseError);
  EXPECT_THROW(decode3(jet3_control(), hex("02 0400")), CorruptDatabaseError);
}

TEST(LongValueField, ParsesAndBuildsEachKind) {
  auto inline_field = hex("03000080 00000000 00000000 616263");
  LongValueField parsed = parse_long_value_field(inline_field, origin);
  EXPECT_EQ(parsed.kind, LongValueKind::inline_data);
  EXPECT_EQ(parsed.length, 3u);
  EXPECT_EQ(parsed.inline_bytes, hex("616263"));
  EXPECT_EQ(build_long_value_field(parsed), inline_field);
  EXPECT_EQ(inline_long_value(hex("616263")), inline_field);

  // 30-bit length: 0x01000000 bytes in one LVAL row at page 0x1C row 2.
  auto single = hex("00000041 021c0000 00000000");
  parsed = parse_long_value_field(single, origin);
  EXPECT_EQ(parsed.kind, LongValueKind::single_row);
  EXPECT_EQ(parsed.length, 0x01000000u);
  EXPECT_EQ(parsed.first_row, (RowPointer{0x1C, 2}));
  EXPECT_EQ(build_long_value_field(parsed), single);

  auto chain = hex("70170000 00210000 00000000");
  parsed = parse_long_value_field(chain, origin);
  EXPECT_EQ(parsed.kind, LongValueKind::chain);
  EXPECT_EQ(parsed.length, 6000u);
  EXPECT_EQ(parsed.first_row, (RowPointer{0x21, 0}));
}

TEST(LongValueField, DamagedFieldsAreCorrupt) {
  EXPECT_THROW(parse_long_value_field(hex("03000080 00000000"), origin), CorruptDatabaseError);
  EXPECT_THROW(parse_long_value_field(hex("030000c0 00000000 00000000"), origin),
               CorruptDatabaseError);
  EXPECT_THROW(parse_long_value_field(hex("05000080 00000000 00000000 6162"), origin),
               CorruptDatabaseError);
}

}  // namespace
}  // namespace norv::jet
