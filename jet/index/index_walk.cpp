#include "jet/index/index_walk.h"

#include <fmt/format.h>

#include <utility>

#include "jet/base/format_fault.h"

namespace norv::jet {

namespace {

std::string fault_text(const TreeFaultAt& at) {
  switch (at.fault) {
    case TreeFault::too_deep:
    case TreeFault::reached_twice:
      return fmt::format("the index tree reaches page {} twice or loops", at.page);
    case TreeFault::outside_file:
      return fmt::format("the index tree names page {}, outside the file", at.page);
    case TreeFault::other_table:
      return fmt::format("index page {} belongs to the table defined on page {}", at.page,
                         at.owner);
  }
  return {};
}

}  // namespace

void IndexTreeWalk::meet(const TreeFaultAt& fault) {
  if (!visitor_.tolerates(fault))
    throw_format_fault(fmt::format("{}: {}; repair the database in Access and run again", where_,
                                   fault_text(fault)));
}

std::optional<IndexPage> IndexTreeWalk::read(std::uint32_t number) {
  if (!visitor_.admits(number)) return std::nullopt;
  if (!reached_.insert(number).second) {
    meet({TreeFault::reached_twice, number});
    return std::nullopt;
  }
  if (number == 0 || number >= pages_.page_count()) meet({TreeFault::outside_file, number});
  IndexPage page = parse_index_page(format_, pages_.page(number));
  if (page.owner != owner_) meet({TreeFault::other_table, number, page.owner});
  return page;
}

std::optional<IndexPageEntry> IndexTreeWalk::walk(std::uint32_t number, int depth) {
  if (depth > max_index_tree_depth) {
    meet({TreeFault::too_deep, number});
    return std::nullopt;
  }
  std::optional<IndexPage> page = read(number);
  if (!page) return std::nullopt;
  visitor_.page(*page);
  if (!page->leaf) return descend(*page, depth);
  std::optional<IndexPageEntry> last;
  if (!page->entries.empty()) last = page->entries.back();
  visitor_.leaf(std::move(*page));
  return last;
}

// A node names each child but the last by the child's last entry, and the
// last one by its tail only.
std::optional<IndexPageEntry> IndexTreeWalk::descend(const IndexPage& node, int depth) {
  std::optional<IndexPageEntry> last;
  for (std::size_t i = 0; i < node.entries.size(); ++i) {
    if (!visitor_.descends(node, i)) continue;
    const IndexPageEntry& entry = node.entries[i];
    visitor_.node_entry(node, entry, walk(entry.child, depth + 1));
    last = entry;
  }
  if (node.tail != 0 && visitor_.descends(node, node.entries.size()))
    last = walk(node.tail, depth + 1);
  return last;
}

}  // namespace norv::jet
