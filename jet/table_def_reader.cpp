#include "jet/table_def_reader.h"

#include <algorithm>
#include <unordered_set>

#include <fmt/format.h>

#include "jet/bytes.h"
#include "jet/format_fault.h"
#include "jet/little_endian.h"

namespace norv::jet {

namespace {

constexpr std::size_t next_page_offset = 4;
constexpr std::size_t continuation_header_size = 8;
constexpr std::size_t definition_length_offset = 8;
constexpr std::uint16_t unused_key_slot = 0xFFFF;
constexpr std::uint16_t long_value_list_end = 0xFFFF;
constexpr std::size_t index_key_slots = 10;

// Types 0x01..0x11 are the Jet 3 / Jet 4 range; 0x0D, 0x0E and 0x11 are
// undocumented but occur (read as binary). ACE types and anything else
// cannot be in a Jet 3 / Jet 4 file.
constexpr std::uint8_t last_jet_column_type = 0x11;

// Reads definition bytes field by field, advancing a cursor.
class Cursor {
 public:
  Cursor(ByteReader bytes, std::size_t position) : bytes_(bytes), position_(position) {}
  std::size_t position() const { return position_; }

  // Reserves `count` blocks of `size` bytes and returns where they start;
  // checked before anything is allocated for them.
  std::size_t take_blocks(std::size_t count, std::size_t size, std::string_view what) {
    const std::size_t left = position_ <= bytes_.size() ? bytes_.size() - position_ : 0;
    if (count > left / size)
      throw_format_fault(fmt::format("the table definition lists {} {}, more than it holds", count,
                                     what));
    const std::size_t start = position_;
    position_ += count * size;
    return start;
  }

  std::string name(const Format& format, const TextCodec& names) {
    const std::size_t length =
        format.name_length_size == 1 ? bytes_.u8(position_) : bytes_.u16(position_);
    position_ += format.name_length_size;
    Bytes stored = bytes_.slice(position_, length);
    position_ += length;
    return names.decode_name(stored);
  }

  std::uint16_t u16() {
    const std::uint16_t value = bytes_.u16(position_);
    position_ += 2;
    return value;
  }
  std::uint32_t u32() {
    const std::uint32_t value = bytes_.u32(position_);
    position_ += 4;
    return value;
  }

 private:
  ByteReader bytes_;
  std::size_t position_;
};

ColumnDef parse_column(const Format& format, ByteReader block) {
  const ColumnLayout& at = format.column;
  ColumnDef column;
  column.type_byte = block.u8(at.type);
  column.number = block.u16(at.number);
  column.var_index = block.u16(at.var_index);
  column.flags = block.u8(at.flags);
  column.fixed_offset = block.u16(at.fixed_offset);
  column.length = block.u16(at.length);
  if (at.extra_flags >= 0) column.extra_flags = block.u8(static_cast<std::size_t>(at.extra_flags));
  if (column.type() == ColumnType::text || column.type() == ColumnType::memo) {
    column.sort_order = block.u16(at.sort_order);
    if (at.code_page >= 0) column.code_page = block.u16(static_cast<std::size_t>(at.code_page));
    if (at.sort_version >= 0) column.sort_version = block.u8(static_cast<std::size_t>(at.sort_version));
  }
  if (column.type() == ColumnType::decimal && at.precision >= 0) {
    column.precision = block.u8(static_cast<std::size_t>(at.precision));
    column.scale = block.u8(static_cast<std::size_t>(at.scale));
  }
  return column;
}

void check_columns(const TableDef& table) {
  std::unordered_set<std::uint16_t> numbers;
  for (const ColumnDef& column : table.columns) {
    if (column.type_byte == 0 || column.type_byte > last_jet_column_type)
      throw_format_fault(fmt::format("column {} has the unknown type {:#04x}", column.name,
                                     column.type_byte));
    if (column.number >= table.max_cols || !numbers.insert(column.number).second)
      throw_format_fault(fmt::format("column {} has the impossible number {}", column.name,
                                     column.number));
    if (!column.is_fixed() && column.var_index >= table.num_var_cols)
      throw_format_fault(fmt::format("column {} has the impossible variable slot {}",
                                     column.name, column.var_index));
  }
}

std::vector<ColumnDef> parse_columns(const Format& format, const TextCodec& names,
                                     ByteReader bytes, Cursor& cursor, std::size_t count) {
  const std::size_t first = cursor.take_blocks(count, format.column.size, "columns");
  std::vector<ColumnDef> columns;
  columns.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    columns.push_back(parse_column(
        format, ByteReader(bytes.slice(first + i * format.column.size, format.column.size),
                           "a column definition")));
  for (ColumnDef& column : columns) column.name = cursor.name(format, names);
  std::sort(columns.begin(), columns.end(),
            [](const ColumnDef& a, const ColumnDef& b) { return a.number < b.number; });
  return columns;
}

RealIndexDef parse_real_index(const IndexDefLayout& at, ByteReader block, const TableDef& table) {
  RealIndexDef index;
  for (std::size_t slot = 0; slot < index_key_slots; ++slot) {
    const std::uint16_t number = block.u16(at.key_slots + 3 * slot);
    if (number == unused_key_slot) continue;
    const bool known = std::any_of(table.columns.begin(), table.columns.end(),
                                   [&](const ColumnDef& c) { return c.number == number; });
    if (!known) throw_format_fault(fmt::format("an index refers to the missing column {}", number));
    index.keys.push_back({number, block.u8(at.key_slots + 3 * slot + 2) == 0x01});
  }
  index.usage_map = RowPointer::from_u32(block.u32(at.usage_map));
  index.first_page = block.u32(at.first_page);
  index.flags = block.u8(at.flags);
  return index;
}

void parse_indexes(const Format& format, const TextCodec& names, ByteReader bytes,
                   Cursor& cursor, std::size_t real_count, std::size_t logical_count,
                   TableDef& table) {
  const IndexDefLayout& at = format.tdef.index;
  const std::size_t real_size = format.tdef.real_index_def_size;
  const std::size_t real_start = cursor.take_blocks(real_count, real_size, "real indexes");
  table.real_indexes.reserve(real_count);
  for (std::size_t i = 0; i < real_count; ++i)
    table.real_indexes.push_back(parse_real_index(
        at, ByteReader(bytes.slice(real_start + i * real_size, real_size), "an index"), table));

  const std::size_t logical_size = format.tdef.logical_index_def_size;
  const std::size_t logical_start = cursor.take_blocks(logical_count, logical_size, "indexes");
  table.logical_indexes.reserve(logical_count);
  for (std::size_t i = 0; i < logical_count; ++i) {
    ByteReader block(bytes.slice(logical_start + i * logical_size, logical_size), "an index");
    LogicalIndexDef index;
    index.index_number = block.u32(at.logical_number);
    index.real_index = block.u32(at.logical_real_index);
    index.index_type = block.u8(at.logical_type);
    if (index.real_index >= real_count)
      throw_format_fault(fmt::format("an index uses the missing physical index {}",
                                     index.real_index));
    table.logical_indexes.push_back(index);
  }
  for (LogicalIndexDef& index : table.logical_indexes) index.name = cursor.name(format, names);
}

void parse_long_value_maps(Cursor& cursor, TableDef& table) {
  for (;;) {
    const std::uint16_t column = cursor.u16();
    if (column == long_value_list_end) return;
    LongValueMaps maps;
    maps.column_number = column;
    maps.owned_pages = RowPointer::from_u32(cursor.u32());
    maps.free_space = RowPointer::from_u32(cursor.u32());
    table.long_value_maps.push_back(maps);
  }
}

}  // namespace

std::vector<std::uint8_t> read_table_def_bytes(PageFile& pages, std::uint32_t first_page,
                                               std::vector<std::uint32_t>& chain) {
  std::vector<std::uint8_t> definition;
  std::unordered_set<std::uint32_t> seen;
  for (std::uint32_t number = first_page; number != 0;) {
    if (!seen.insert(number).second)
      throw_format_fault(fmt::format("the table definition at page {} loops back to page {}",
                                     first_page, number));
    const Page page = pages.page(number);
    const Bytes bytes = page.bytes();
    if (bytes[0] != table_def_page_type || bytes[1] != 0x01)
      throw_format_fault(fmt::format("page {} is not a table definition page (type {:#04x})",
                                     number, bytes[0]));
    const auto skip = definition.empty() ? 0 : continuation_header_size;
    definition.insert(definition.end(), bytes.begin() + static_cast<std::ptrdiff_t>(skip),
                      bytes.end());
    chain.push_back(number);
    number = le::get32(bytes.data() + next_page_offset);
  }
  return definition;
}

TableDef parse_table_def(const Format& format, const TextCodec& names,
                         std::span<const std::uint8_t> definition) {
  ByteReader bytes(definition, "the table definition");
  const TableDefLayout& at = format.tdef;
  TableDef table;
  table.definition_length = bytes.u32(definition_length_offset);
  table.num_rows = bytes.u32(at.num_rows);
  table.autonumber = bytes.u32(at.autonumber);
  table.table_type = bytes.u8(at.table_type);
  table.max_cols = bytes.u16(at.max_cols);
  table.num_var_cols = bytes.u16(at.num_var_cols);
  const std::size_t num_cols = bytes.u16(at.num_cols);
  const std::size_t num_idx = bytes.u32(at.num_idx);
  const std::size_t num_real_idx = bytes.u32(at.num_real_idx);
  table.owned_pages_map = RowPointer::from_u32(bytes.u32(at.owned_pages_map));
  table.free_space_map = RowPointer::from_u32(bytes.u32(at.free_space_map));
  if (num_cols > table.max_cols)
    throw_format_fault(fmt::format("the table definition has {} columns but room for {}",
                                   num_cols, table.max_cols));

  Cursor cursor(bytes, at.header_end);
  cursor.take_blocks(num_real_idx, at.real_index_stats_size, "index statistics");
  table.columns = parse_columns(format, names, bytes, cursor, num_cols);
  check_columns(table);
  parse_indexes(format, names, bytes, cursor, num_real_idx, num_idx, table);
  parse_long_value_maps(cursor, table);
  return table;
}

TableDef read_table_def(PageFile& pages, const Format& format, const TextCodec& names,
                        std::uint32_t first_page) {
  std::vector<std::uint32_t> chain;
  const std::vector<std::uint8_t> definition = read_table_def_bytes(pages, first_page, chain);
  TableDef table = parse_table_def(format, names, definition);
  table.page = first_page;
  table.pages = std::move(chain);
  return table;
}

}  // namespace norv::jet
