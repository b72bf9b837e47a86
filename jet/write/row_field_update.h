#pragma once

// One row body with one column set to a new stored field.
//
// A fixed-size value present in the row is written over its old bytes and
// a Yes/No value is a flipped null-mask bit: nothing else in the row moves.
// Any other change (a variable-length value, a row written before the
// column existed) re-encodes the row with the table's current layout.
// Either way every other column must read back exactly as before, which is
// checked here (for a re-encoded row, by encode_row_fields); a row that
// cannot be laid out is an InvalidArgumentError naming the table and the
// file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "jet/base/format_fault.h"
#include "jet/format/format.h"
#include "jet/format/row_codec.h"
#include "jet/format/table_def.h"

namespace norv::jet {

// `before` is decode_row_fields of `row`, which the caller has decoded once
// for everything it does with the row.
std::vector<std::uint8_t> set_row_field(const Format& format, const TableDef& table,
                                        std::span<const std::uint8_t> row,
                                        const std::vector<RowField>& before, std::size_t column,
                                        const RowField& field, const RowOrigin& origin);

}  // namespace norv::jet
