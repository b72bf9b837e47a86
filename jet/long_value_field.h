#pragma once

// The 12-byte field a Memo or OLE column keeps in its row: total length (30
// bits) and kind (top 2 bits), the row pointer of the first LVAL row, four
// zero bytes, and for inline values the data itself.

#include <cstdint>
#include <span>
#include <vector>

#include "jet/corrupt.h"
#include "jet/table_def.h"

namespace norv::jet {

enum class LongValueKind : std::uint8_t {
  chain = 0x00,        // a chain of LVAL rows: u32 next pointer + data each
  single_row = 0x40,   // one LVAL row holds all the data
  inline_data = 0x80,  // the data follows the header inside the row
};

inline constexpr std::size_t long_value_header_size = 12;
inline constexpr std::uint32_t long_value_max_length = 0x3FFFFFFF;

struct LongValueField {
  LongValueKind kind = LongValueKind::inline_data;
  std::uint32_t length = 0;            // stored bytes of the whole value
  RowPointer first_row;                // single_row and chain only
  std::vector<std::uint8_t> inline_bytes;  // inline_data only, `length` bytes
};

// Parses a field. A field shorter than 12 bytes, the unused kind 0xC0, or
// inline data whose length disagrees with the header is corrupt.
LongValueField parse_long_value_field(std::span<const std::uint8_t> field, const RowOrigin& origin);

// The stored bytes of a field (12-byte header, plus the inline data).
std::vector<std::uint8_t> build_long_value_field(const LongValueField& field);

// Convenience for the writer: an inline field holding `data`.
std::vector<std::uint8_t> inline_long_value(std::span<const std::uint8_t> data);

}  // namespace norv::jet
