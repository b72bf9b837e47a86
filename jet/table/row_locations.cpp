#include "jet/table/row_locations.h"

#include <fmt/format.h>

#include "jet/base/bytes.h"
#include "jet/format/data_page.h"
#include "jet/format/usage_map.h"

namespace norv::jet {

TableRows locate_rows(PageFile& pages, const Format& format, const TableDef& table) {
  TableRows out;
  for (std::uint32_t number : read_usage_map(pages, format, table.owned_pages_map).pages) {
    const Page page = pages.page(number);
    if (page.type() != data_page_type) {
      out.foreign_pages.push_back(number);
      continue;
    }
    const DataPage data = DataPage::parse(format, page);
    if (data.owner() != table.page) {
      out.foreign_pages.push_back(number);
      continue;
    }
    out.pages.push_back(number);
    for (std::size_t row = 0; row < data.row_count(); ++row) {
      const RowSlot& slot = data.slot(row);
      if (!slot.is_visible()) continue;
      const RowPointer header{number, static_cast<std::uint8_t>(row)};
      if (!slot.is_overflow_pointer()) {
        out.rows.push_back({header, header});
        continue;
      }
      resolve_row(pages, format, data, row);  // checks the target
      const ByteReader pointer(data.body(row), "an overflow pointer");
      out.rows.push_back({header, RowPointer{pointer.u24(1), pointer.u8(0)}});
    }
  }
  return out;
}

std::string table_damage(const TableRows& rows, const TableDef& table) {
  if (!rows.foreign_pages.empty())
    return fmt::format("its page map lists page {}, which is not one of its data pages",
                       rows.foreign_pages.front());
  if (rows.rows.size() != table.num_rows)
    return fmt::format("its definition counts {} rows but the scan finds {}", table.num_rows,
                       rows.rows.size());
  return {};
}

}  // namespace norv::jet
