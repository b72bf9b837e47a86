#pragma once

// The entry at one end of an index, only where the walk there proves it is
// the end: a damaged tree can lead a walk from the root to any leaf, and
// the entry found there looks as valid as the real one. Every page the walk
// reaches must be an index page of the index's own (listed in its usage
// map, owned by its table), reached once and within the depth bound; the
// leaf reached must end the leaf chain, and each hop over a leaf emptied
// by deletions must land on a leaf whose link back confirms it.

#include <cstdint>
#include <optional>
#include <string_view>

#include "jet/format/format.h"
#include "jet/format/index_page.h"
#include "jet/format/table_def.h"
#include "jet/pager/page_file.h"

namespace norv::jet {

struct IndexEnd {
  // The index holds no entry: its root is a leaf without entries or
  // siblings.
  bool empty = false;
  IndexPageEntry entry;  // when not empty
};

// The last entry of `index` of `table` (`last`), or its first. nullopt
// when anything on the way leaves a doubt. A page that cannot be read at
// all (a broken index page, a usage map that does not decode) is a
// FormatFault; `where` names the file in it.
std::optional<IndexEnd> proven_index_end(PageFile& pages, const Format& format,
                                         const TableDef& table, const RealIndexDef& index,
                                         bool last, std::string_view where);

}  // namespace norv::jet
