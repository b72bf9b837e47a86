#include "jet/index/index_end.h"

#include <set>
#include <utility>

#include "jet/format/usage_map.h"
#include "jet/index/index_tree.h"
#include "jet/index/index_walk.h"

namespace norv::jet {

namespace {

// Down the outermost children to the leaf at the end, through pages of
// the index's usage map only; a loop or a tree too deep ends the walk
// without a leaf, a page outside the file or of another table is a fault.
class EndWalk : public IndexTreeVisitor {
 public:
  EndWalk(PageFile& pages, const Format& format, const TableDef& table, const RealIndexDef& index,
          bool last, std::string_view where)
      : root_(index.first_page), last_(last), walk_(pages, format, table.page, where, *this) {
    const UsageMap map = read_usage_map(pages, format, index.usage_map);
    own_pages_.insert(map.pages.begin(), map.pages.end());
  }

  std::optional<IndexEnd> run() {
    walk_.walk(root_);
    std::optional<IndexPage> leaf = std::move(leaf_);
    if (!leaf || outward(*leaf) != 0) return std::nullopt;
    while (leaf->entries.empty()) {
      if (inward(*leaf) == 0) {
        if (leaf->number == root_ && outward(*leaf) == 0) return IndexEnd{true, {}};
        return std::nullopt;  // a chain of empty leaves: the tree is not what it seems
      }
      std::optional<IndexPage> before = walk_.read(inward(*leaf));
      if (!before || !before->leaf || outward(*before) != leaf->number) return std::nullopt;
      leaf = std::move(before);
    }
    return IndexEnd{false, last_ ? leaf->entries.back() : leaf->entries.front()};
  }

  bool admits(std::uint32_t number) override { return own_pages_.contains(number); }

  bool tolerates(const TreeFaultAt& at) override {
    return at.fault == TreeFault::too_deep || at.fault == TreeFault::reached_twice;
  }

  void leaf(IndexPage page) override { leaf_ = std::move(page); }

  bool descends(const IndexPage& node, std::size_t position) override {
    return position == outermost_child(node);
  }

 private:
  // The link leading past the end, and the one leading back into the index.
  std::uint32_t outward(const IndexPage& leaf) const { return last_ ? leaf.next : leaf.previous; }
  std::uint32_t inward(const IndexPage& leaf) const { return last_ ? leaf.previous : leaf.next; }

  // The position of the child at the end (entries.size() for the tail), or
  // nullopt for a node without children. A node names its last child by
  // its tail, the others by its entries.
  std::optional<std::size_t> outermost_child(const IndexPage& node) const {
    const std::size_t tail = node.entries.size();
    if (last_ && node.tail != 0) return tail;
    if (!node.entries.empty()) return last_ ? node.entries.size() - 1 : 0;
    if (node.tail != 0) return tail;
    return std::nullopt;
  }

  std::uint32_t root_;
  bool last_;
  std::set<std::uint32_t> own_pages_;  // the index's usage map
  std::optional<IndexPage> leaf_;      // the one the descent reached
  IndexTreeWalk walk_;
};

}  // namespace

std::optional<IndexEnd> proven_index_end(PageFile& pages, const Format& format,
                                         const TableDef& table, const RealIndexDef& index,
                                         bool last, std::string_view where) {
  return EndWalk(pages, format, table, index, last, where).run();
}

}  // namespace norv::jet
