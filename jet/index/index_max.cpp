#include "jet/index/index_max.h"

#include <algorithm>
#include <string>

#include "jet/format/data_page.h"
#include "jet/format/row_codec.h"
#include "jet/format/usage_map.h"
#include "jet/format/value_codec.h"
#include "jet/index/index_end.h"
#include "jet/index/index_key.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

bool key_order_is_value_order(ColumnType type) {
  switch (type) {
    case ColumnType::byte:
    case ColumnType::integer:
    case ColumnType::long_integer:
    case ColumnType::currency:
    case ColumnType::single:
    case ColumnType::double_:
    case ColumnType::date_time:
      return true;
    default:
      return false;
  }
}

// What the key and tree errors of MAX name as their place. The table's name
// is not known here, so they name the file, as they always have.
std::string where(const TableReader& reader) { return reader.pages().path().string(); }

bool table_owns_page(const TableReader& reader, const TableDef& table, std::uint32_t number) {
  const UsageMap owned = read_usage_map(reader.pages(), reader.format(), table.owned_pages_map);
  return std::binary_search(owned.pages.begin(), owned.pages.end(), number);
}

// The value of the column in the row `entry` points at, when that row is
// one a scan of the table reads (on one of its pages, neither deleted nor
// hidden) and holds the value the entry's key encodes.
std::optional<Value> value_of_entry(const TableReader& reader, const TableDef& table,
                                    std::size_t position, bool ascending,
                                    const IndexPageEntry& entry) {
  if (!table_owns_page(reader, table, entry.row.page)) return std::nullopt;
  const DataPage page = DataPage::parse(reader.format(), reader.pages().page(entry.row.page));
  if (page.owner() != table.page || entry.row.row >= page.row_count() ||
      !page.slot(entry.row.row).is_visible())
    return std::nullopt;
  const RowBody body = resolve_row(reader.pages(), reader.format(), page, entry.row.row);
  const RowOrigin origin{"", entry.row.page, entry.row.row};
  const std::vector<RowField> fields = decode_row_fields(reader.format(), table, body.bytes, origin);
  const RowField& field = fields.at(position);
  const ColumnDef& column = table.columns[position];
  const std::vector<std::uint8_t> part =
      index_key_part(reader.format(), column, field, ascending, where(reader));
  if (entry.key.size() < part.size() || !std::equal(part.begin(), part.end(), entry.key.begin()))
    return std::nullopt;  // the entry does not match its row
  if (!field.present) return Value{Null{}};
  return decode_value(column, field.bytes, reader.text(), origin);
}

std::optional<Value> read_max(const TableReader& reader, const TableDef& table,
                              std::size_t position, const RealIndexDef& index) {
  const bool ascending = index.keys.front().ascending;
  const std::optional<IndexEnd> end =
      proven_index_end(reader.pages(), reader.format(), table, index, ascending, where(reader));
  if (!end) return std::nullopt;
  if (end->empty) return Value{Null{}};  // no row holds a value
  return value_of_entry(reader, table, position, ascending, end->entry);
}

}  // namespace

std::optional<Value> max_through_index(const TableReader& reader, const TableDef& table,
                                       std::size_t position) {
  const ColumnDef& column = table.columns.at(position);
  if (!key_order_is_value_order(column.type())) return std::nullopt;
  for (const RealIndexDef& index : table.real_indexes) {
    if (index.keys.empty() || index.keys.front().column_number != column.number) continue;
    try {
      if (std::optional<Value> max = read_max(reader, table, position, index)) return max;
    } catch (const Error&) {
      // A damaged index: the rows will say what they hold.
    }
  }
  return std::nullopt;
}

}  // namespace norv::jet
