// Row bodies and stored text from a damaged file: decoding either succeeds
// or reports the database as corrupt, and a decoded row encodes again.

#include <cstddef>
#include <cstdint>
#include <span>

#include "jet/format/row_codec.h"
#include "jet/format/text_codec.h"
#include "platform/error.h"

namespace {

using namespace norv::jet;

ColumnDef column(const char* name, ColumnType type, std::uint16_t number, bool fixed,
                 std::uint16_t place, std::uint16_t length) {
  ColumnDef c;
  c.name = name;
  c.type_byte = static_cast<std::uint8_t>(type);
  c.number = number;
  c.flags = fixed ? column_flags::fixed : 0;
  (fixed ? c.fixed_offset : c.var_index) = place;
  c.length = length;
  return c;
}

// ID Long, Flag Yes/No, Version Text, (column 3 deleted), Notes Memo,
// Amount Decimal in the variable area.
TableDef table() {
  TableDef t;
  t.max_cols = 6;
  t.num_var_cols = 4;
  t.columns = {column("ID", ColumnType::long_integer, 0, true, 0, 4),
               column("Flag", ColumnType::boolean, 1, true, 0, 1),
               column("Version", ColumnType::text, 2, false, 0, 100),
               column("Notes", ColumnType::memo, 4, false, 2, 0),
               column("Amount", ColumnType::decimal, 5, false, 3, 17)};
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const TableDef definition = table();
  bool jet4 = (data[0] & 1) != 0;
  const Format& format = jet4 ? jet4_format() : jet3_format();
  TextCodec text(jet4 ? FormatVersion::jet4 : FormatVersion::jet3, 1252);
  std::span<const std::uint8_t> row(data + 1, size - 1);
  text.decode(row);
  try {
    auto values = decode_row(format, definition, row, text, RowOrigin{"T", 0, 0});
    try {
      encode_row(format, definition, values, text, "T");
    } catch (const norv::InvalidArgumentError&) {
      // A decodable row may still hold a value its column refuses (text
      // longer than the column, a Decimal beyond its precision).
    }
  } catch (const norv::CorruptDatabaseError&) {
  }
  return 0;
}
