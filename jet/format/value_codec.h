#pragma once

// The bytes of one column value, to and from jet::Value. Which bytes a
// column has in a row is the row codec's business; this file only knows
// how each type is encoded. The encoding of a type is the same in the fixed
// and the variable area.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "jet/base/format_fault.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/types/column_type.h"
#include "jet/types/value.h"

namespace norv::jet {

// Stored size of a fixed-size type: 0 for Boolean (the null-mask bit is the
// value), nullopt for Text, Binary, Memo, OLE and unknown types.
std::optional<std::size_t> fixed_value_size(ColumnType type);

// Decodes a non-null value from its stored bytes. Text is decoded with
// `text`; Binary and the unknown types become Binary; Memo and OLE come back
// as Binary holding the raw long-value field (long_value.h), which the
// page-level reader resolves. A fixed-size type with the wrong number of
// bytes is a CorruptDatabaseError from `origin`. Boolean is not decoded here
// (it has no bytes); see the row codec.
Value decode_value(const ColumnDef& column, std::span<const std::uint8_t> bytes,
                   const TextCodec& text, const RowOrigin& origin);

// Encodes a non-null, non-Boolean value for `column`. The value must hold
// the alternative of the column's type (Memo/OLE: Binary with the raw
// long-value field); anything else is an InvalidArgumentError naming the
// column. Text longer than the column allows, Binary longer than its
// length, and a Decimal that does not fit the column's precision or scale
// without rounding are InvalidArgumentError / OverflowError.
std::vector<std::uint8_t> encode_value(const ColumnDef& column, const Value& value,
                                       const TextCodec& text);

// How messages name a value's kind: "a text", "binary data", "a Long", ...
std::string_view value_kind(const Value& value);

// The kind of value a column of `type` holds as the engine's callers give
// it, which for Memo is a text (encode_value takes Memo's long-value field
// instead: that is the stored form, not the column's value).
std::string_view value_kind_for(ColumnType type);

// The 17 stored bytes of a Decimal: sign (0x80 negative), then four
// 32-bit words most significant first, each little-endian.
Decimal decode_decimal(std::span<const std::uint8_t, 17> bytes, std::uint8_t scale);
std::array<std::uint8_t, 17> encode_decimal(const Decimal& value);

}  // namespace norv::jet
