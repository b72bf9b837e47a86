#include "jet/index_max.h"

#include <algorithm>

#include "jet/data_page.h"
#include "jet/index_key.h"
#include "jet/index_page.h"
#include "jet/row_codec.h"
#include "jet/value_codec.h"
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

// The entry at the end of the index that holds the largest value: the last
// of an ascending index, the first of a descending one. Leaves emptied by
// deletions are passed over along the leaf chain.
std::optional<IndexPageEntry> extreme_entry(PageFile& pages, const Format& format,
                                            const RealIndexDef& index, bool last) {
  std::uint32_t number = index.first_page;
  for (int depth = 0;; ++depth) {
    if (depth > max_index_tree_depth) return std::nullopt;
    const IndexPage page = parse_index_page(format, pages.page(number));
    if (page.leaf) break;
    if (page.entries.empty() && page.tail == 0) return std::nullopt;
    if (last)
      number = page.tail != 0 ? page.tail : page.entries.back().child;
    else
      number = page.entries.empty() ? page.tail : page.entries.front().child;
  }
  for (std::uint32_t hops = 0; number != 0 && hops < pages.page_count(); ++hops) {
    const IndexPage leaf = parse_index_page(format, pages.page(number));
    if (!leaf.leaf) return std::nullopt;
    if (!leaf.entries.empty()) return last ? leaf.entries.back() : leaf.entries.front();
    number = last ? leaf.previous : leaf.next;
  }
  return std::nullopt;
}

std::optional<Value> read_max(const TableReader& reader, const TableDef& table,
                              std::size_t position, const RealIndexDef& index) {
  const bool ascending = index.keys.front().ascending;
  const std::optional<IndexPageEntry> entry =
      extreme_entry(reader.pages(), reader.format(), index, ascending);
  if (!entry) return Value{Null{}};  // an empty index: no row holds a value
  if (entry->key.empty()) return std::nullopt;
  if (entry->key.front() == null_key_part(ascending)) return Value{Null{}};

  const DataPage page = DataPage::parse(reader.format(), reader.pages().page(entry->row.page));
  if (page.owner() != table.page || entry->row.row >= page.slots().size()) return std::nullopt;
  const RowBody body = resolve_row(reader.pages(), reader.format(), page, entry->row.row);
  const RowOrigin origin{reader.text().file(), "", entry->row.page, entry->row.row};
  const std::vector<RowField> fields = decode_row_fields(reader.format(), table, body.bytes, origin);
  const RowField& field = fields.at(position);
  if (!field.present) return std::nullopt;
  const ColumnDef& column = table.columns[position];
  const std::vector<std::uint8_t> part =
      index_key_part(reader.format(), column, field, ascending, "");
  if (entry->key.size() < part.size() || !std::equal(part.begin(), part.end(), entry->key.begin()))
    return std::nullopt;  // the entry does not match its row
  return decode_value(column, field.bytes, reader.text(), origin);
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
