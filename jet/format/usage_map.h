#pragma once

// Usage maps: which pages a table (or an index, a long-value column, the
// whole file) uses. A map is the body of a row: type 0 holds the bitmap
// inline, type 1 refers to bitmap pages (type 0x05). Decoding and building
// new maps here, and an update's changes (usage_map_update.h), share one
// description of the row (usage_map_row.h); a decoded map is always
// checked: ascending, no duplicates, every page inside the file.

#include <cstdint>
#include <vector>

#include "jet/base/bytes.h"
#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/pager/page_file.h"
#include "jet/pager/page_images.h"

namespace norv::jet {

inline constexpr std::uint8_t usage_bitmap_page_type = 0x05;

enum class UsageMapKind : std::uint8_t { inline_bitmap = 0, reference = 1 };

struct UsageMap {
  UsageMapKind kind = UsageMapKind::inline_bitmap;
  std::vector<std::uint32_t> pages;  // pages whose bit is set, ascending
  std::vector<std::uint32_t> bitmap_pages;  // a reference map's bitmap pages inside the file
};

// What a set bit means. Table, index and long-value maps mark the pages
// their owner uses; the global map (page 1, row 0) marks free pages, and
// covers pages past the end of the file, which are free by definition.
enum class MapSense { used, free };

// Decodes a map row. A bitmap-page pointer to a page of the wrong type is a
// FormatFault. In a `used` map, so are a set bit for a page past the end of
// the file and a bitmap-page pointer outside the file; a `free` map ignores
// both (its set bits past the end describe pages that do not exist yet, and
// Jet leaves unused slots of the global map uninitialised).
UsageMap decode_usage_map(PageFile& pages, const Format& format, Bytes map_row,
                          MapSense sense = MapSense::used);

// Reads the map row at `where` and decodes it.
UsageMap read_usage_map(PageFile& pages, const Format& format, RowPointer where,
                        MapSense sense = MapSense::used);

// Where the global map lives: page 1, row 0.
inline constexpr RowPointer global_usage_map{1, 0};

// A new map marking `pages`, with room for pages up to `covered_pages`, as
// the creator writes them: an inline bitmap starting at page 0, at least as
// large as Jet makes them, larger when the file needs; a reference map once
// an inline bitmap would no longer fit a data page, its bitmap pages
// allocated at the end of `images`.
std::vector<std::uint8_t> build_usage_map(const Format& format,
                                          const std::vector<std::uint32_t>& pages,
                                          std::uint32_t covered_pages, PageImages& images);

// The global map, made once every other page is allocated: every page from
// the end of the file on is free (bit set).
std::vector<std::uint8_t> build_global_usage_map(const Format& format, PageImages& images);

}  // namespace norv::jet
