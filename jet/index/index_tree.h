#pragma once

// An index's tree as a whole: read from its root into its pages and its
// entries in key order, and built anew from entries in key order. The
// update rebuilds a tree this way when its entries no longer fit the pages
// they are on, and the creator builds every index so.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/index_page.h"
#include "jet/pager/page_file.h"

namespace norv::jet {

struct IndexTreeContents {
  std::vector<std::uint32_t> pages;     // every page of the tree, root first
  std::vector<IndexPage> leaves;        // in key order
};

// Walks the tree whose root is page `root` of the table defined on page
// `owner` (index_walk.h). A page outside the file, one that is not an
// index page, belongs to another table, or is reached twice (a loop in
// damaged pointers) or too deep is a FormatFault naming `where`.
IndexTreeContents read_index_tree(PageFile& pages, const Format& format, std::uint32_t root,
                                  std::uint32_t owner, std::string_view where);

// Every entry of the leaves, in key order.
std::vector<IndexPageEntry> leaf_entries(const IndexTreeContents& tree);

struct BuiltIndexPage {
  IndexPage page;
  std::vector<std::uint8_t> image;  // encode_index_page(page)
};

// The tree holding `entries` (in key order) of an index of the table
// defined on page `owner`, root first: the leaves packed full, node pages
// above them naming each child but the last by its last entry and the last
// one as their tail, every level linked in key order. The root is page
// `root` (the real index's definition names it); every other page gets its
// number from `allocate`, leaves left to right first. An entry too long for
// a page is a NotSupportedError naming `where`.
std::vector<BuiltIndexPage> build_index_tree(const Format& format, std::uint32_t owner,
                                             std::uint32_t root,
                                             const std::vector<IndexPageEntry>& entries,
                                             const std::function<std::uint32_t()>& allocate,
                                             std::string_view where);

}  // namespace norv::jet
