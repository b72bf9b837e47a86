#pragma once

// Memo and OLE values. The row keeps a 12-byte field: total length (30
// bits) and kind (top 2 bits), the row pointer of the first LVAL row, four
// zero bytes, and for inline values the data itself. Larger data lives in
// long-value (LVAL) rows: one row when it fits, otherwise a chain of rows
// that each start with the u32 pointer of the next. The field, reading,
// the creator's writer and the update's appender share this one
// description.

#include <cstdint>
#include <span>
#include <vector>

#include "jet/base/format_fault.h"
#include "jet/format/data_page.h"
#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/pager/page_file.h"
#include "jet/pager/page_images.h"

namespace norv::jet {

enum class LongValueKind : std::uint8_t {
  chain = 0x00,        // a chain of LVAL rows: u32 next pointer + data each
  single_row = 0x40,   // one LVAL row holds all the data
  inline_data = 0x80,  // the data follows the header inside the row
};

inline constexpr std::size_t long_value_header_size = 12;
inline constexpr std::uint32_t long_value_max_length = 0x3FFFFFFF;
// A chain's row: the next row's pointer (0 on the last), then data.
inline constexpr std::size_t chain_link_header_size = 4;

// Values up to this size stay in the row when the row has room for them.
inline constexpr std::size_t inline_long_value_limit = 64;

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

// Convenience for the writers: an inline field holding `data`.
std::vector<std::uint8_t> inline_long_value(std::span<const std::uint8_t> data);

// The value's stored bytes (Memo: still encoded text). Reading is bounded
// by the field's stated length, which may not exceed the file's size.
// Throws FormatFault for a pointer to anything but a row of a long-value
// page, a chain that loops or ends before the stated length, and a single
// row shorter than it.
std::vector<std::uint8_t> read_long_value(PageFile& pages, const Format& format,
                                          const LongValueField& field);

// The pieces both writers (LongValueWriter here, LongValueAppender in
// long_value_update.h) build a stored value from: the parts of `data` that
// each fill one LVAL row of a chain, a chain row, and the field pointing at
// a value's first row.
std::vector<std::span<const std::uint8_t>> long_value_chain_parts(
    const Format& format, std::span<const std::uint8_t> data);
std::vector<std::uint8_t> long_value_chain_row(std::uint32_t next,
                                               std::span<const std::uint8_t> part);
std::vector<std::uint8_t> long_value_field_bytes(LongValueKind kind, std::size_t length,
                                                 RowPointer first);

// Memo and OLE values as the creator stores them: up to
// inline_long_value_limit bytes inline in the row, larger ones on LVAL
// pages.
class LongValueWriter {
 public:
  LongValueWriter(const Format& format, PageImages& pages);

  // The 12-byte field (plus inline data) the row stores for `data`.
  std::vector<std::uint8_t> store(std::span<const std::uint8_t> data);

 private:
  const Format& format_;
  DataPageWriter rows_;
};

}  // namespace norv::jet
