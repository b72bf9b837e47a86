#pragma once

// Index keys: the bytes an index entry holds for a row before its row
// pointer. Each key column contributes a flag byte (0x7F ascending, 0x80
// descending; 0x00 / 0xFF for Null) and its value encoded so that comparing
// keys as unsigned bytes orders the rows as Jet does: text by the column's
// sort order (general_sort_key.h), numbers big-endian with the sign turned
// around, and the descending form of each. The creator builds its indexes
// with these keys, and the index check recomputes them from the rows.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/row_codec.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/types/value.h"

namespace norv::jet {

// Whether the engine computes keys for `column` exactly as Jet does: every
// indexable type; Text and Memo only under the "General" sort order of the
// format (Jet 3: sort order 1033 with code page 1252, Jet 4: 1033 version
// 0). Another sort order needs other tables: an index on such a column must
// not be changed.
bool computes_keys_of(const Format& format, const ColumnDef& column);

// One key column's part from the field as the row stores it (row_codec.h).
// For a Memo column the bytes are the whole value (the long value
// resolved); only its first 255 characters count. A type that cannot be
// indexed (OLE) is a NotSupportedError naming `where`.
std::vector<std::uint8_t> index_key_part(const Format& format, const ColumnDef& column,
                                         const RowField& stored, bool ascending,
                                         std::string_view where);

// The same from a value (Memo: the text), encoded as `text` stores it.
std::vector<std::uint8_t> index_key_part(const Format& format, const ColumnDef& column,
                                         const Value& value, const TextCodec& text,
                                         bool ascending, std::string_view where);

// The stored field of the column at `position` in TableDef::columns, a
// Memo's long value resolved; the bytes may be kept in `storage`.
using KeyFieldSource =
    std::function<RowField(std::size_t position, std::vector<std::uint8_t>& storage)>;

// The key a row gives `index`: the parts of its key columns in slot order.
// nullopt when the index ignores nulls (flag 0x02) and every key column is
// null: such a row has no entry. A key column the table lacks is a
// FormatFault.
std::optional<std::vector<std::uint8_t>> row_index_key(const Format& format, const TableDef& table,
                                                       const RealIndexDef& index,
                                                       const KeyFieldSource& field_of,
                                                       std::string_view where);

// The flag byte, and whole key part, of a Null in a key column of that
// direction.
std::uint8_t null_key_part(bool ascending);

// Whether `key` is the key of a row whose key columns of `index` are all
// null: a unique index may hold it more than once.
bool is_all_null_key(const RealIndexDef& index, const std::vector<std::uint8_t>& key);

// Whether the engine computes every key column of `index` (computes_keys_of).
bool computes_keys_of(const Format& format, const TableDef& table, const RealIndexDef& index);

}  // namespace norv::jet
