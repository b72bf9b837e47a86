#include "tests/jet/codec_support.h"

#include <algorithm>
#include <stdexcept>

namespace norv::test {

std::vector<std::uint8_t> hex(std::string_view text) {
  std::vector<std::uint8_t> out;
  int pending = -1;
  for (char c : text) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) continue;
    if (pending < 0) {
      pending = digit;
    } else {
      out.push_back(static_cast<std::uint8_t>(pending << 4 | digit));
      pending = -1;
    }
  }
  if (pending >= 0) throw std::invalid_argument("odd number of hex digits");
  return out;
}

jet::ColumnDef fixed_column(std::string name, jet::ColumnType type, std::uint16_t number,
                            std::uint16_t fixed_offset, std::uint16_t length) {
  jet::ColumnDef column;
  column.name = std::move(name);
  column.type_byte = static_cast<std::uint8_t>(type);
  column.number = number;
  column.fixed_offset = fixed_offset;
  column.length = length;
  column.flags = jet::column_flags::fixed | jet::column_flags::can_be_null;
  return column;
}

jet::ColumnDef variable_column(std::string name, jet::ColumnType type, std::uint16_t number,
                               std::uint16_t var_index, std::uint16_t length) {
  jet::ColumnDef column;
  column.name = std::move(name);
  column.type_byte = static_cast<std::uint8_t>(type);
  column.number = number;
  column.var_index = var_index;
  column.length = length;
  column.flags = jet::column_flags::can_be_null;
  return column;
}

jet::TableDef table_of(std::vector<jet::ColumnDef> columns, std::uint16_t max_cols,
                       std::uint16_t num_var_cols) {
  jet::TableDef table;
  std::uint16_t highest = 0;
  std::uint16_t variable = 0;
  for (const auto& c : columns) {
    highest = std::max<std::uint16_t>(highest, static_cast<std::uint16_t>(c.number + 1));
    if (!c.is_fixed()) variable = std::max<std::uint16_t>(variable, static_cast<std::uint16_t>(c.var_index + 1));
  }
  table.max_cols = std::max(max_cols, highest);
  table.num_var_cols = std::max(num_var_cols, variable);
  std::sort(columns.begin(), columns.end(),
            [](const auto& a, const auto& b) { return a.number < b.number; });
  table.columns = std::move(columns);
  return table;
}

}  // namespace norv::test
