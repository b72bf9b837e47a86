#include "jet/table/table_info.h"

#include "platform/case_fold.h"

namespace norv::jet {

namespace {

// Undocumented types seen in Jet files (0x0D, 0x0E, 0x11) read as binary.
ColumnType public_type(const ColumnDef& column) {
  return is_known_column_type(column.type_byte) ? column.type() : ColumnType::binary;
}

ColumnInfo describe_column(const Format& format, const ColumnDef& column,
                           const std::map<std::string, ColumnProperties>& properties) {
  ColumnInfo info;
  info.name = column.name;
  info.type = public_type(column);
  info.number = column.number;
  info.length = column.length;
  if (info.type == ColumnType::text)
    info.max_characters = static_cast<std::uint16_t>(column.length / format.text_unit_size);
  info.precision = column.precision;
  info.scale = column.scale;
  info.fixed = column.is_fixed();
  info.autonumber = column.is_autonumber();
  info.compressed_unicode = column.allows_compression();
  for (const auto& [name, property] : properties) {
    if (!platform::equal_ignoring_case(name, column.name)) continue;
    info.required = property.required;
    info.has_validation_rule = property.has_validation_rule;
  }
  return info;
}

std::string column_name(const TableDef& table, std::uint16_t number) {
  for (const ColumnDef& column : table.columns)
    if (column.number == number) return column.name;
  return {};  // the reader has checked that every key column exists
}

IndexInfo describe_index(const TableDef& table, const LogicalIndexDef& index) {
  const RealIndexDef& real = table.real_indexes[index.real_index];
  IndexInfo info;
  info.name = index.name;
  for (const IndexKey& key : real.keys) info.columns.push_back(column_name(table, key.column_number));
  info.primary_key = index.index_type == primary_key_index_type;
  info.unique = (real.flags & index_flags::unique) != 0;
  return info;
}

}  // namespace

TableInfo describe_table(std::string_view name, const Format& format, const TableDef& table,
                         const std::map<std::string, ColumnProperties>& properties) {
  TableInfo info;
  info.name = std::string(name);
  info.definition_page = table.page;
  for (const ColumnDef& column : table.columns)
    info.columns.push_back(describe_column(format, column, properties));
  for (const LogicalIndexDef& index : table.logical_indexes)
    info.indexes.push_back(describe_index(table, index));
  return info;
}

}  // namespace norv::jet
