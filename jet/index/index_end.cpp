#include "jet/index/index_end.h"

#include <set>
#include <utility>

#include "jet/index/index_tree.h"
#include "jet/format/usage_map.h"

namespace norv::jet {

namespace {

class EndWalk {
 public:
  EndWalk(PageFile& pages, const Format& format, const TableDef& table, const RealIndexDef& index,
          bool last, std::string_view where)
      : pages_(pages),
        format_(format),
        owner_(table.page),
        root_(index.first_page),
        last_(last),
        where_(where) {
    const UsageMap map = read_usage_map(pages, format, index.usage_map);
    own_pages_.insert(map.pages.begin(), map.pages.end());
  }

  std::optional<IndexEnd> run() {
    std::optional<IndexPage> leaf = descend();
    if (!leaf || outward(*leaf) != 0) return std::nullopt;
    while (leaf->entries.empty()) {
      if (inward(*leaf) == 0) {
        if (leaf->number == root_ && outward(*leaf) == 0) return IndexEnd{true, {}};
        return std::nullopt;  // a chain of empty leaves: the tree is not what it seems
      }
      std::optional<IndexPage> before = visit(inward(*leaf));
      if (!before || !before->leaf || outward(*before) != leaf->number) return std::nullopt;
      leaf = std::move(before);
    }
    return IndexEnd{false, last_ ? leaf->entries.back() : leaf->entries.front()};
  }

 private:
  // The link leading past the end, and the one leading back into the index.
  std::uint32_t outward(const IndexPage& leaf) const { return last_ ? leaf.next : leaf.previous; }
  std::uint32_t inward(const IndexPage& leaf) const { return last_ ? leaf.previous : leaf.next; }

  // From the root down the outermost children to a leaf.
  std::optional<IndexPage> descend() {
    std::uint32_t number = root_;
    for (int depth = 0; depth <= max_index_tree_depth; ++depth) {
      std::optional<IndexPage> page = visit(number);
      if (!page || page->leaf) return page;
      const std::optional<std::uint32_t> child = outermost_child(*page);
      if (!child) return std::nullopt;
      number = *child;
    }
    return std::nullopt;
  }

  // A node names its last child by its tail, the others by its entries.
  std::optional<std::uint32_t> outermost_child(const IndexPage& node) const {
    if (last_ && node.tail != 0) return node.tail;
    if (!node.entries.empty())
      return last_ ? node.entries.back().child : node.entries.front().child;
    if (node.tail != 0) return node.tail;
    return std::nullopt;
  }

  std::optional<IndexPage> visit(std::uint32_t number) {
    if (!own_pages_.contains(number) || !visited_.insert(number).second) return std::nullopt;
    return read_tree_page(pages_, format_, number, owner_, where_);
  }

  PageFile& pages_;
  const Format& format_;
  std::uint32_t owner_;
  std::uint32_t root_;
  bool last_;
  std::string_view where_;
  std::set<std::uint32_t> own_pages_;  // the index's usage map
  std::set<std::uint32_t> visited_;
};

}  // namespace

std::optional<IndexEnd> proven_index_end(PageFile& pages, const Format& format,
                                         const TableDef& table, const RealIndexDef& index,
                                         bool last, std::string_view where) {
  return EndWalk(pages, format, table, index, last, where).run();
}

}  // namespace norv::jet
