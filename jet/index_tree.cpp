#include "jet/index_tree.h"

#include <fmt/format.h>

#include <set>

#include "jet/format_fault.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

struct TreeWalk {
  PageFile& pages;
  const Format& format;
  std::uint32_t owner;
  std::string_view where;
  std::set<std::uint32_t> seen;
  IndexTreeContents out;

  void walk(std::uint32_t number, int depth) {
    if (depth > max_index_tree_depth || !seen.insert(number).second)
      throw_format_fault(fmt::format("{}: the index tree reaches page {} twice or loops; repair "
                                     "the database in Access and run again",
                                     where, number));
    IndexPage page = read_tree_page(pages, format, number, owner, where);
    out.pages.push_back(number);
    if (page.leaf) {
      out.leaves.push_back(std::move(page));
      return;
    }
    for (const IndexPageEntry& entry : page.entries) walk(entry.child, depth + 1);
    if (page.tail != 0) walk(page.tail, depth + 1);
  }
};

// A page of the level being built, as its parent sees it.
struct Child {
  std::uint32_t number = 0;
  IndexPageEntry last;  // the last entry of its subtree
};

IndexPageEntry node_entry(const Child& child) { return {child.last.key, child.last.row, child.number}; }

[[noreturn]] void refuse_long_entry(std::string_view where) {
  throw NotSupportedError(fmt::format("{}: an index entry is longer than an index page holds; "
                                      "shorten the indexed values or remove the index",
                                      where));
}

// The leaves: each as full as the page allows.
std::vector<IndexPage> pack_leaves(const Format& format, std::uint32_t owner,
                                   const std::vector<IndexPageEntry>& entries,
                                   std::string_view where) {
  std::vector<IndexPage> leaves;
  std::span<const IndexPageEntry> rest(entries);
  do {
    const std::size_t count = index_entries_fitting(format, rest, true);
    if (count == 0 && !rest.empty()) refuse_long_entry(where);
    IndexPage leaf;
    leaf.owner = owner;
    leaf.entries.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(count));
    leaves.push_back(std::move(leaf));
    rest = rest.subspan(count);
  } while (!rest.empty());
  return leaves;
}

// Groups `children` (two or more) into node pages: each page names as many
// children by entry as fit, and one more as its tail. A last group of one
// child takes the tail of the group before it, so every node but the one
// of a two-child group that had to give up its tail has an entry and a tail.
std::vector<std::vector<Child>> group_children(const Format& format,
                                               const std::vector<Child>& children,
                                               std::string_view where) {
  std::vector<IndexPageEntry> entries;
  for (const Child& child : children) entries.push_back(node_entry(child));
  std::vector<std::vector<Child>> groups;
  std::size_t at = 0;
  while (at < children.size()) {
    const std::size_t left = children.size() - at;
    std::size_t named = std::min(
        index_entries_fitting(format, std::span(entries).subspan(at, left - 1), false), left - 1);
    if (named == 0 && left > 1) refuse_long_entry(where);
    groups.emplace_back(children.begin() + static_cast<std::ptrdiff_t>(at),
                        children.begin() + static_cast<std::ptrdiff_t>(at + named + 1));
    at += named + 1;
  }
  if (groups.size() > 1 && groups.back().size() == 1) {
    std::vector<Child>& before = groups[groups.size() - 2];
    groups.back().insert(groups.back().begin(), before.back());
    before.pop_back();
  }
  return groups;
}

IndexPage node_page(std::uint32_t owner, const std::vector<Child>& children) {
  IndexPage node;
  node.leaf = false;
  node.owner = owner;
  // A single child is named by an entry; otherwise the last is the tail.
  const std::size_t named = children.size() == 1 ? 1 : children.size() - 1;
  for (std::size_t i = 0; i < named; ++i) node.entries.push_back(node_entry(children[i]));
  if (children.size() > 1) node.tail = children.back().number;
  return node;
}

// Numbers a level's pages (the root's when it is one page), links them,
// and returns them as their parent level's children.
std::vector<Child> number_level(std::vector<IndexPage>& level, std::uint32_t root,
                                const std::function<std::uint32_t()>& allocate,
                                const std::vector<Child>& last_of) {
  std::vector<Child> children;
  for (std::size_t i = 0; i < level.size(); ++i) {
    level[i].number = level.size() == 1 ? root : allocate();
    children.push_back({level[i].number, last_of[i].last});
  }
  for (std::size_t i = 0; i < level.size(); ++i) {
    level[i].previous = i == 0 ? 0 : level[i - 1].number;
    level[i].next = i + 1 == level.size() ? 0 : level[i + 1].number;
  }
  return children;
}

}  // namespace

IndexPage read_tree_page(PageFile& pages, const Format& format, std::uint32_t number,
                         std::uint32_t owner, std::string_view where) {
  if (number == 0 || number >= pages.page_count())
    throw_format_fault(fmt::format("{}: the index tree names page {}, outside the file; repair "
                                   "the database in Access and run again",
                                   where, number));
  IndexPage page = parse_index_page(format, pages.page(number));
  if (page.owner != owner)
    throw_format_fault(fmt::format("{}: index page {} belongs to the table defined on page {}; "
                                   "repair the database in Access and run again",
                                   where, number, page.owner));
  return page;
}

IndexTreeContents read_index_tree(PageFile& pages, const Format& format, std::uint32_t root,
                                  std::uint32_t owner, std::string_view where) {
  TreeWalk walk{pages, format, owner, where, {}, {}};
  walk.walk(root, 0);
  return std::move(walk.out);
}

std::vector<IndexPageEntry> leaf_entries(const IndexTreeContents& tree) {
  std::vector<IndexPageEntry> out;
  for (const IndexPage& leaf : tree.leaves) out.insert(out.end(), leaf.entries.begin(), leaf.entries.end());
  return out;
}

std::vector<BuiltIndexPage> build_index_tree(const Format& format, std::uint32_t owner,
                                             std::uint32_t root,
                                             const std::vector<IndexPageEntry>& entries,
                                             const std::function<std::uint32_t()>& allocate,
                                             std::string_view where) {
  std::vector<std::vector<IndexPage>> levels{pack_leaves(format, owner, entries, where)};
  std::vector<Child> lasts;
  for (const IndexPage& leaf : levels.back())
    lasts.push_back({0, leaf.entries.empty() ? IndexPageEntry{} : leaf.entries.back()});
  std::vector<Child> children = number_level(levels.back(), root, allocate, lasts);
  while (children.size() > 1) {
    const std::vector<std::vector<Child>> groups = group_children(format, children, where);
    std::vector<IndexPage> level;
    lasts.clear();
    for (const std::vector<Child>& group : groups) {
      level.push_back(node_page(owner, group));
      lasts.push_back(group.back());
    }
    levels.push_back(std::move(level));
    children = number_level(levels.back(), root, allocate, lasts);
  }

  std::vector<BuiltIndexPage> out;
  for (auto level = levels.rbegin(); level != levels.rend(); ++level)
    for (const IndexPage& page : *level) {
      std::optional<std::vector<std::uint8_t>> image = encode_index_page(format, page);
      if (!image)
        throw_internal_error(fmt::format("{}: index page {} was packed fuller than it holds", where,
                                         page.number));
      out.push_back({page, std::move(*image)});
    }
  return out;
}

}  // namespace norv::jet
