#include "jet/table/table_scan.h"

#include "jet/format/long_value.h"
#include "jet/format/row_codec.h"
#include "jet/format/usage_map.h"

namespace norv::jet {

void for_each_stored_row(PageFile& pages, const Format& format, const TableDef& table,
                         const std::function<void(const StoredRow&)>& visit) {
  const UsageMap owned = read_usage_map(pages, format, table.owned_pages_map);
  for (std::uint32_t number : owned.pages) {
    const Page page = pages.page(number);
    if (page.type() != data_page_type) continue;
    const DataPage data = DataPage::parse(format, page);
    if (data.owner() != table.page) continue;
    for (std::size_t row = 0; row < data.row_count(); ++row) {
      if (!data.slot(row).is_visible()) continue;
      visit({RowPointer{number, static_cast<std::uint8_t>(row)},
             resolve_row(pages, format, data, row)});
    }
  }
}

void TableReader::for_each_raw_row(
    const TableDef& table, std::string_view table_name,
    const std::function<void(std::vector<Value>&, const RowOrigin&)>& visit) const {
  for_each_stored_row(pages_, format_, table, [&](const StoredRow& row) {
    const RowOrigin origin{table_name, row.header.page, row.header.row};
    std::vector<Value> values = decode_row(format_, table, row.body.bytes, text_, origin);
    visit(values, origin);
  });
}

void TableReader::for_each_row(const TableDef& table, std::string_view table_name,
                               const std::function<void(std::vector<Value>&)>& visit) const {
  for_each_raw_row(table, table_name, [&](std::vector<Value>& values, const RowOrigin& origin) {
    resolve_long_values(table, origin, values);
    visit(values);
  });
}

std::vector<std::uint8_t> TableReader::long_value(std::span<const std::uint8_t> raw_field,
                                                  const RowOrigin& origin) const {
  return read_long_value(pages_, format_, parse_long_value_field(raw_field, origin));
}

void TableReader::resolve_long_values(const TableDef& table, const RowOrigin& origin,
                                      std::vector<Value>& values) const {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDef& column = table.columns[i];
    auto* field = std::get_if<Binary>(&values[i]);
    if (!column.is_long_value() || field == nullptr) continue;
    std::vector<std::uint8_t> data = long_value(field->bytes, origin);
    if (column.type() == ColumnType::memo)
      values[i] = text_.decode(data);
    else
      values[i] = Binary{std::move(data)};
  }
}

}  // namespace norv::jet
