#pragma once

// Setting one column of every live row of a local table: the write side of
// the engine.
//
// Everything is planned in memory first (update_plan.h): every page
// involved is parsed, every new row built and read back, every new page
// image laid out and read back, and every limit checked (row size, text
// length, what a Jet 3 code page can hold). Only then is anything written,
// in the plan's crash-safe order, and made durable. Any error before the
// first write leaves the file as it was.
//
// Rows are changed as little as possible: a fixed-size value in place, a
// Yes/No value in the null mask, a re-encoded row inside its page while it
// fits, otherwise moved behind an overflow pointer to another page of the
// table with room or to a new page. Memo and OLE values stay in the row up
// to inline_long_value_limit bytes when the row has room, otherwise they go
// to new long-value rows, and the long-value rows of the old value are
// marked deleted once nothing refers to them.
//
// Every index holding the column is kept in order (index_update.h): its
// changed leaf pages are re-encoded and written with the rows. An index
// whose text sorts in an order the engine has no keys for is refused, as
// are updates that would need a page split or a changed node page, and a
// duplicate key in a unique index.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/pager/page_file.h"
#include "jet/types/value.h"

namespace norv::jet {

struct ColumnUpdate {
  const TableDef& table;
  std::string_view table_name;
  std::size_t column;  // its position in table.columns
  const Value& value;            // the alternative of the column's type, or Null
};

// Plans, writes and syncs the update through `pages`, which must be open
// for writing under the database lock, its rollback journal in `storage`
// (update_plan.h). Returns the number of rows, changed
// or already holding the value. Throws InvalidArgumentError for a value the
// column cannot hold and a duplicate in a unique index,
// NotSupportedError for an AutoNumber column, an index the update cannot
// keep (index_update.h) and a table whose page maps cannot record a new
// page, CorruptDatabaseError for a table whose page map or row count shows
// damage (table_damage), FormatFault for anything the reader would refuse.
// Whether an update writes its plan, or only makes it with every check (a
// dry run: what the update would refuse, refused now).
enum class UpdateMode { write, plan_only };

std::uint64_t update_column(PageFile& pages, platform::Storage& storage, const Format& format,
                            const TextCodec& text, const ColumnUpdate& update,
                            UpdateMode mode = UpdateMode::write);

}  // namespace norv::jet
