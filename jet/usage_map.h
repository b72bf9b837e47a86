#pragma once

// Usage maps: which pages a table (or an index, a long-value column, the
// whole file) uses. A map is the body of a row: type 0 holds the bitmap
// inline, type 1 refers to bitmap pages (type 0x05). The result is always
// checked: ascending, no duplicates, every page inside the file.

#include <cstdint>
#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace norv::jet {

inline constexpr std::uint8_t usage_bitmap_page_type = 0x05;

enum class UsageMapKind : std::uint8_t { inline_bitmap = 0, reference = 1 };

struct UsageMap {
  UsageMapKind kind = UsageMapKind::inline_bitmap;
  std::vector<std::uint32_t> pages;  // pages whose bit is set, ascending
};

// Decodes a map row. For a table map a set bit means "used by the owner";
// the global map (page 1, row 0) uses the opposite sense, which is the
// caller's business. A set bit for a page past the end of the file, a
// bitmap-page pointer outside the file or to a page of the wrong type is a
// FormatFault.
UsageMap decode_usage_map(PageFile& pages, const Format& format, Bytes map_row);

// Reads the map row at `where` and decodes it.
UsageMap read_usage_map(PageFile& pages, const Format& format, RowPointer where);

}  // namespace norv::jet
