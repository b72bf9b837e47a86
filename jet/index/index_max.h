#pragma once

// The largest value of a column read from the end of an index instead of
// from every row: an index whose first key column it is keeps its values
// in order, so the last entry of an ascending index (the first of a
// descending one) points at a row holding the maximum.
//
// Only for types whose key order is their value order (numbers, Currency,
// Date/Time): text keys follow the index's sort order, which is not the
// order MAX compares text in. The index is used only where its end is
// proven (index_end.h) and the row found there is one a scan reads and
// holds the value its entry encodes; any doubt on the way (a damaged page,
// a stale entry, a deleted row) gives no answer, so that the caller reads
// the rows and reports what they hold.

#include <cstddef>
#include <optional>

#include "jet/format/table_def.h"
#include "jet/table/table_scan.h"
#include "jet/types/value.h"

namespace norv::jet {

// The maximum of the column at `position` (in TableDef::columns) of
// `table`, Null when the index holds no value, or nullopt when no usable
// index gives it.
std::optional<Value> max_through_index(const TableReader& reader, const TableDef& table,
                                       std::size_t position);

}  // namespace norv::jet
