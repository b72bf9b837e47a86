#pragma once

// The one walk of an index tree from its root: the reader, the index check
// and the search for an index's end all go through it. The walk owns what
// every one of them must guard against in a damaged file (a loop in the
// page pointers, a tree deeper than any real one, a pointer outside the
// file, a page that is not an index page or belongs to another table) and
// the order of the descent; a visitor says what to do with the pages and
// entries it meets and which of those faults it can live with.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>

#include "jet/format/format.h"
#include "jet/format/index_page.h"
#include "jet/pager/page_file.h"

namespace norv::jet {

// Far beyond any real tree (a few levels hold millions of rows): a deeper
// walk from the root is a loop in damaged pointers.
inline constexpr int max_index_tree_depth = 16;

enum class TreeFault {
  too_deep,       // more than max_index_tree_depth levels below the root
  reached_twice,  // a loop, or a page that two parents name
  outside_file,   // page 0 or a page past the end of the file
  other_table,    // an index page of another table
};

struct TreeFaultAt {
  TreeFault fault;
  std::uint32_t page = 0;
  std::uint32_t owner = 0;  // other_table: the table the page belongs to
};

class IndexTreeVisitor {
 public:
  virtual ~IndexTreeVisitor() = default;

  // Whether the walk goes to page `number` at all; a page refused is a dead
  // end, like a pointer to nothing.
  virtual bool admits(std::uint32_t /*number*/) { return true; }

  // Whether the walk goes on past `fault`: a page too deep or reached twice
  // is then left unread, a page outside the file or of another table read
  // as it is. A fault not tolerated is a FormatFault naming the walk's
  // `where`; by default none is.
  virtual bool tolerates(const TreeFaultAt& /*fault*/) { return false; }

  // Every page the descent reads, before its children.
  virtual void page(const IndexPage& /*page*/) {}

  virtual void leaf(IndexPage /*page*/) {}

  // Whether the descent goes into the child at `position` of `node`: its
  // entries' children first, then (position entries.size()) its tail.
  virtual bool descends(const IndexPage& /*node*/, std::size_t /*position*/) { return true; }

  // A node's entry once the descent returned from its child; `child_last`
  // is the last entry of the child's subtree (nullopt when it holds none or
  // was left unread). A sound node names each child by that entry.
  virtual void node_entry(const IndexPage& /*node*/, const IndexPageEntry& /*entry*/,
                          const std::optional<IndexPageEntry>& /*child_last*/) {}
};

// A walk over the tree of an index of the table defined on page `owner`.
class IndexTreeWalk {
 public:
  IndexTreeWalk(PageFile& pages, const Format& format, std::uint32_t owner,
                std::string_view where, IndexTreeVisitor& visitor)
      : pages_(pages), format_(format), owner_(owner), where_(where), visitor_(visitor) {}

  // Descends from page `root`, children in key order, and returns the last
  // entry of the tree (nullopt when it holds none the walk read).
  std::optional<IndexPageEntry> walk(std::uint32_t root) { return walk(root, 0); }

  // Page `number` with the checks the descent makes of every page, for a
  // step along a level's links; nullopt when the visitor does not admit it
  // or tolerates its being reached twice.
  std::optional<IndexPage> read(std::uint32_t number);

  // Every page the walk went to so far, read or not (a page that failed to
  // parse included).
  const std::set<std::uint32_t>& reached() const { return reached_; }

 private:
  std::optional<IndexPageEntry> walk(std::uint32_t number, int depth);
  std::optional<IndexPageEntry> descend(const IndexPage& node, int depth);
  // A FormatFault unless the visitor tolerates `fault`.
  void meet(const TreeFaultAt& fault);

  PageFile& pages_;
  const Format& format_;
  std::uint32_t owner_;
  std::string_view where_;
  IndexTreeVisitor& visitor_;
  std::set<std::uint32_t> reached_;
};

}  // namespace norv::jet
