#pragma once

// Index pages as the creator writes them: one leaf page (type 0x04) per
// index holding every entry in key order (index_page.h encodes it); the
// keys come from index_key.h. Indexes whose entries do not fit one page are
// refused with NotSupportedError.

#include <cstdint>
#include <string_view>
#include <vector>

#include "jet/format.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace norv::jet {

struct IndexEntry {
  std::vector<std::uint8_t> key;  // the key parts of every column, concatenated
  RowPointer row;
};

// Sorts `entries` and builds the leaf page of an index of the table whose
// TDEF is `owner`. Throws NotSupportedError naming `where` when they do not
// fit.
std::vector<std::uint8_t> build_index_leaf(const Format& format, std::uint32_t owner,
                                           std::vector<IndexEntry> entries,
                                           std::string_view where);

// The number of distinct keys among `entries` (a unique index needs one per
// entry).
std::uint32_t count_distinct_keys(std::vector<IndexEntry> entries);

}  // namespace norv::jet
