#pragma once

// One row body, as a data page slot holds it, to and from its column
// values. Jet 4 rows have two-byte counts and offsets; Jet 3 rows have
// one-byte offsets with a jump table for rows over 256 bytes; the Format
// descriptor says which. A row that cannot be right (an offset past its end,
// offsets out of order, a null mask that does not fit) is a
// CorruptDatabaseError, never a guess.

#include <cstdint>
#include <string_view>
#include <span>
#include <vector>

#include "jet/base/format_fault.h"
#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/types/value.h"

namespace norv::jet {

// One column of a row as stored. For Boolean `present` is the value and
// `bytes` is empty; otherwise `present` is the null-mask bit (false =
// Null) and `bytes` the stored value (empty for a zero-length text).
struct RowField {
  bool present = false;
  std::span<const std::uint8_t> bytes;
};

// The stored fields of a row, one per TableDef::columns entry, in that
// order. Spans point into `row`. A column the row predates (its number is
// at least the row's column count, or its variable slot at least the row's
// variable count) comes back not present.
std::vector<RowField> decode_row_fields(const Format& format, const TableDef& table,
                                        std::span<const std::uint8_t> row,
                                        const RowOrigin& origin);

// Builds a row from one field per TableDef::columns entry. The row has
// max_cols columns and num_var_cols variable slots (slots of deleted
// columns stay empty), fixed columns always take their full width (zeros
// when null). A fixed field with the wrong width, a row over the format's
// size limit, or a Jet 3 row whose jump table cannot express it is an
// InvalidArgumentError naming the table. Every row is verified by decoding
// it before it is returned.
std::vector<std::uint8_t> encode_row_fields(const Format& format, const TableDef& table,
                                            std::span<const RowField> fields,
                                            std::string_view table_name);

// Values instead of stored fields (value_codec.h). Memo and OLE columns are
// Binary holding the raw long-value field both ways.
std::vector<Value> decode_row(const Format& format, const TableDef& table,
                              std::span<const std::uint8_t> row, const TextCodec& text,
                              const RowOrigin& origin);
std::vector<std::uint8_t> encode_row(const Format& format, const TableDef& table,
                                     std::span<const Value> values, const TextCodec& text,
                                     std::string_view table_name);

}  // namespace norv::jet
