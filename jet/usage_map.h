#pragma once

// Usage maps: which pages a table (or an index, a long-value column, the
// whole file) uses. A map is the body of a row: type 0 holds the bitmap
// inline, type 1 refers to bitmap pages (type 0x05). Decoding, marking a
// page in an existing map and building new maps share one description of
// the row, and a decoded map is always checked: ascending, no duplicates,
// every page inside the file.

#include <cstdint>
#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/page_images.h"
#include "jet/table_def.h"
#include "jet/update_plan.h"

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

// Marks `page` as used in the map at `where`, as edits to an update plan
// from `stage` on: sets its bit in a `used` map, clears it in the `free`
// global map (a page outside the global map's range needs nothing: Jet
// leaves pages past its window unknown to the map). A `used` map grows as
// Jet grows it, keeping its row length: an inline map whose window does
// not reach the page is re-based when the span of its pages still fits,
// converted to a reference map otherwise; a reference map gets a bitmap
// page for a slot that has none. New bitmap pages are appended (written
// with the new pages, before anything refers to them) and marked used in
// the global map at the global_map stage. The map is decoded, and so
// checked, before any edit. Throws NotSupportedError (the caller names the
// file) when the row has too few slots to reach the page.
void mark_page_used(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                    WriteStage stage);

// The opposite: clears `page`'s bit in a `used` map (a page the map does not
// hold needs nothing), sets it in the `free` global map. Only the global
// map grows for it: an inline global map whose window does not reach the
// page becomes a reference map of the same length, its bitmap pages
// appended (a page past its last slot stays unknown to it).
void mark_page_unused(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                      WriteStage stage);

// Marking several pages, at one stage or at several, composes: each change
// is applied to the map as every stage has it, including the changes
// planned before it.

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
