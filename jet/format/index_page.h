#pragma once

// Index pages (type 0x03 node, 0x04 leaf) as stored: the header, the entry
// bitmap and the prefix-compressed entries. A leaf entry is a key and the
// pointer of the row it indexes; a node entry adds the child page whose
// subtree ends with that entry. Parsing checks every field it relies on, so
// a parsed page's entries always lie inside the page.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/pager/page_file.h"

namespace norv::jet {

inline constexpr std::uint8_t index_node_page_type = 0x03;
inline constexpr std::uint8_t index_leaf_page_type = 0x04;

inline const IndexPageLayout& index_page_layout(const Format& format) {
  return format.index_page;
}

struct IndexPageEntry {
  std::vector<std::uint8_t> key;
  RowPointer row;
  std::uint32_t child = 0;  // node pages only
};

struct IndexPage {
  std::uint32_t number = 0;
  bool leaf = true;
  std::uint32_t owner = 0;  // the table's definition page
  std::uint32_t previous = 0;
  std::uint32_t next = 0;
  std::uint32_t tail = 0;
  std::vector<IndexPageEntry> entries;  // in stored order
};

// Throws FormatFault unless `page` is an index page whose free space,
// bitmap, prefix and entries agree.
IndexPage parse_index_page(const Format& format, const Page& page);

// The page image of `page` as Access writes it: header fields from `page`
// (type, owner, links, tail; byte 21 / 26 set on node pages), entries in
// the given order stored whole when they all fit and with the common
// prefix of the first and last entry left out of every later one when they
// do not, the entry bitmap, the exact free space and zeros after the data.
// nullopt when the entries do not fit one page even so (a split is needed).
std::optional<std::vector<std::uint8_t>> encode_index_page(const Format& format,
                                                           const IndexPage& page);

// How many of `entries`, from the first, one page holds (0 when not even
// the first fits), laid out as encode_index_page lays them out.
std::size_t index_entries_fitting(const Format& format, std::span<const IndexPageEntry> entries,
                                  bool leaf);

// Jet's order of entries: key bytes as unsigned bytes (a prefix first),
// then row page, then row number.
bool entry_precedes(const IndexPageEntry& a, const IndexPageEntry& b);

// The number of distinct keys among `entries` (a unique index needs one
// per entry).
std::uint32_t count_distinct_keys(const std::vector<IndexPageEntry>& entries);

}  // namespace norv::jet
