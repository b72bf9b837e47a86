#include "jet/create/table_layout.h"

#include "jet/format/value_codec.h"

namespace norv::jet {

namespace {

std::uint16_t stored_length(const Format& format, const ColumnSpec& spec) {
  switch (spec.type) {
    case ColumnType::text:
      return static_cast<std::uint16_t>(spec.size * format.text_unit_size);
    case ColumnType::binary: return spec.size;
    case ColumnType::memo:
    case ColumnType::ole: return 0;
    case ColumnType::boolean: return 1;
    default: return static_cast<std::uint16_t>(fixed_value_size(spec.type).value_or(0));
  }
}

std::uint8_t column_flag_bits(const ColumnSpec& spec, bool fixed, bool system) {
  std::uint8_t flags = column_flags::can_be_null;
  if (fixed) flags |= column_flags::fixed;
  if (spec.autonumber) flags |= column_flags::long_autonumber;
  if (system) flags |= system_column_flag;
  return flags;
}

}  // namespace

TableDef lay_out_columns(const Format& format, const std::vector<ColumnSpec>& columns,
                         std::uint16_t code_page, bool system) {
  TableDef table;
  std::uint16_t fixed_offset = 0;
  std::uint16_t var_index = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnSpec& spec = columns[i];
    ColumnDef column;
    column.name = spec.name;
    column.type_byte = static_cast<std::uint8_t>(spec.type);
    column.number = static_cast<std::uint16_t>(i);
    column.length = stored_length(format, spec);
    bool fixed = fixed_value_size(spec.type).has_value();
    column.flags = column_flag_bits(spec, fixed, system);
    bool textual = spec.type == ColumnType::text || spec.type == ColumnType::memo;
    if (textual && spec.compressed_unicode && format.text_compression)
      column.extra_flags = column_extra_flags::compression_allowed;
    column.code_page = code_page;
    column.sort_order = textual ? general_sort_order : 0;
    column.precision = spec.type == ColumnType::decimal ? spec.precision : 0;
    column.scale = spec.type == ColumnType::decimal ? spec.scale : 0;
    if (fixed) {
      column.fixed_offset = fixed_offset;
      if (!column.is_boolean()) fixed_offset = static_cast<std::uint16_t>(fixed_offset + column.length);
    } else {
      column.var_index = var_index++;
    }
    table.columns.push_back(std::move(column));
  }
  table.max_cols = static_cast<std::uint16_t>(columns.size());
  table.num_var_cols = var_index;
  return table;
}

}  // namespace norv::jet
