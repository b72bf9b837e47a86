#include "jet/format/table_def.h"

#include <fmt/format.h>

#include <algorithm>
#include <unordered_set>

#include "jet/base/bytes.h"
#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"
#include "jet/format/page_header.h"
#include "platform/case_fold.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

// Every page of the chain: the page header (page_header.h), the free space
// (see TableDefLayout::stores_free_space), the next page of the chain (0:
// none). A continuation page's part of the buffer starts after its 8-byte
// header. The buffer's own header holds its length at 8; the rest is in
// Format::tdef.
constexpr std::size_t next_page_offset = 4;
constexpr std::size_t continuation_header_size = 8;
constexpr std::size_t definition_length_offset = 8;
// A real index's statistics: the count of distinct keys at 4.
constexpr std::size_t unique_keys_offset = 4;
// A real index's key columns: ten slots of a u16 column number and a u8
// order, unused slots 0xFFFF.
constexpr std::size_t index_key_slots = 10;
constexpr std::size_t key_slot_size = 3;
constexpr std::size_t key_order_offset = 2;
constexpr std::uint16_t unused_key_slot = 0xFFFF;
constexpr std::uint8_t ascending_order = 0x01;
// The long-value column maps: u16 column, u32 owned pages, u32 free space,
// ended by a column number 0xFFFF.
constexpr std::uint16_t long_value_list_end = 0xFFFF;
constexpr std::uint32_t no_related_index = 0xFFFFFFFF;

std::size_t key_slot(std::size_t k) { return key_slot_size * k; }

// Reading.

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
    const std::uint16_t number = block.u16(at.key_slots + key_slot(slot));
    if (number == unused_key_slot) continue;
    const bool known = std::any_of(table.columns.begin(), table.columns.end(),
                                   [&](const ColumnDef& c) { return c.number == number; });
    if (!known) throw_format_fault(fmt::format("an index refers to the missing column {}", number));
    index.keys.push_back({number, block.u8(at.key_slots + key_slot(slot) + key_order_offset) ==
                                      ascending_order});
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

// Writing.

class Buffer {
 public:
  explicit Buffer(std::size_t size) : bytes_(size, 0) {}
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

  // A block of `size` bytes at the end; writes go relative to its start.
  std::size_t grow(std::size_t size) {
    std::size_t at = bytes_.size();
    bytes_.resize(at + size, 0);
    return at;
  }
  void u8(std::size_t at, std::uint8_t v) { bytes_[at] = v; }
  void u16(std::size_t at, std::uint16_t v) { le::put16(bytes_.data() + at, v); }
  void u32(std::size_t at, std::uint32_t v) { le::put32(bytes_.data() + at, v); }
  void constants(std::size_t at, const ConstantFields& fields) {
    put_constants(bytes_.data() + at, fields);
  }
  void append(const std::vector<std::uint8_t>& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

void put_name(const Format& format, Buffer& out, const std::string& name, const TextCodec& text) {
  std::vector<std::uint8_t> stored = text.encode_name(name);
  std::size_t limit = format.name_length_size == 1 ? 255 : 0xFFFF;
  if (stored.size() > limit)
    throw InvalidArgumentError(fmt::format("the name {} is too long", name));
  std::size_t at = out.grow(format.name_length_size);
  if (format.name_length_size == 1)
    out.u8(at, static_cast<std::uint8_t>(stored.size()));
  else
    out.u16(at, static_cast<std::uint16_t>(stored.size()));
  out.append(stored);
}

void put_header(const Format& format, Buffer& out, const TableLayout& table) {
  const TableDefLayout& t = format.tdef;
  write_page_header(out.bytes(), table_def_page_type);
  out.constants(0, t.page_constants);
  out.constants(0, t.header_constants);
  out.u32(t.num_rows, table.num_rows);
  out.u32(t.autonumber, table.autonumber);
  out.u8(t.table_type, table.table_type);
  out.u16(t.max_cols, table.max_cols);
  out.u16(t.num_var_cols, table.num_var_cols);
  out.u16(t.num_cols, static_cast<std::uint16_t>(table.columns.size()));
  out.u32(t.num_idx, static_cast<std::uint32_t>(table.indexes.size()));
  out.u32(t.num_real_idx, static_cast<std::uint32_t>(table.indexes.size()));
  out.u32(t.owned_pages_map, table.owned_pages.to_u32());
  out.u32(t.free_space_map, table.free_space.to_u32());
}

bool is_textual(const ColumnDef& column) {
  return column.type() == ColumnType::text || column.type() == ColumnType::memo;
}

void put_column(const Format& format, Buffer& out, const ColumnDef& column, std::uint16_t code_page) {
  const ColumnLayout& c = format.column;
  std::size_t at = out.grow(c.size);
  out.u8(at + c.type, column.type_byte);
  out.u16(at + c.number, column.number);
  out.u16(at + c.var_index, column.var_index);
  out.u8(at + c.flags, column.flags);
  out.u16(at + c.fixed_offset, column.fixed_offset);
  out.u16(at + c.length, column.length);
  out.constants(at, c.constants);
  if (c.number_copy >= 0) out.u16(at + static_cast<std::size_t>(c.number_copy), column.number);
  if (c.extra_flags >= 0) out.u8(at + static_cast<std::size_t>(c.extra_flags), column.extra_flags);
  if (column.type() == ColumnType::decimal && c.precision >= 0) {
    out.u8(at + static_cast<std::size_t>(c.precision), column.precision);
    out.u8(at + static_cast<std::size_t>(c.scale), column.scale);
  } else if (is_textual(column) || c.sort_order_on_every_column) {
    out.u16(at + c.sort_order, general_sort_order);
    if (c.code_page >= 0) out.u16(at + static_cast<std::size_t>(c.code_page), code_page);
  }
}

void put_real_index(const Format& format, Buffer& out, const IndexLayout& index) {
  const IndexDefLayout& i = format.tdef.index;
  std::size_t at = out.grow(format.tdef.real_index_def_size);
  out.constants(at, i.real_constants);
  for (std::size_t k = 0; k < index_key_slots; ++k) {
    bool used = k < index.column_numbers.size();
    const std::size_t slot = at + i.key_slots + key_slot(k);
    out.u16(slot, used ? index.column_numbers[k] : unused_key_slot);
    out.u8(slot + key_order_offset, used && index.ascending.at(k) ? ascending_order : 0);
  }
  out.u32(at + i.usage_map, index.usage_map.to_u32());
  out.u32(at + i.first_page, index.first_page);
  out.u8(at + i.flags, static_cast<std::uint8_t>(index.flags | i.flags_always_set));
}

void put_logical_index(const Format& format, Buffer& out, const IndexLayout& index,
                       std::uint32_t number) {
  const IndexDefLayout& i = format.tdef.index;
  std::size_t at = out.grow(format.tdef.logical_index_def_size);
  out.constants(at, i.logical_constants);
  out.u32(at + i.logical_number, number);
  out.u32(at + i.logical_real_index, number);  // one real index per logical index, same position
  out.u32(at + i.logical_related, no_related_index);
  out.u8(at + i.logical_type, index.primary_key ? 1 : 0);
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
    if (!has_page_header(bytes, table_def_page_type))
      throw_format_fault(fmt::format("page {} is not a table definition page (type {:#04x})",
                                     number, bytes[page_type_offset]));
    const auto skip = definition.empty() ? 0 : continuation_header_size;
    definition.insert(definition.end(), bytes.begin() + static_cast<std::ptrdiff_t>(skip),
                      bytes.end());
    chain.push_back(number);
    number = le::get32(bytes.data() + next_page_offset);
  }
  return definition;
}

std::optional<std::size_t> find_column(const TableDef& table, std::string_view name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (platform::equal_ignoring_case(table.columns[i].name, name)) return i;
  return std::nullopt;
}

std::string index_names(const TableDef& table, std::size_t real) {
  std::string out;
  for (const LogicalIndexDef& index : table.logical_indexes)
    if (index.real_index == real) out += (out.empty() ? "" : ", ") + index.name;
  return out.empty() ? fmt::format("#{}", real) : out;
}

bool index_holds_column(const RealIndexDef& index, std::uint16_t column_number) {
  return std::any_of(index.keys.begin(), index.keys.end(),
                     [&](const IndexKey& key) { return key.column_number == column_number; });
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


std::vector<std::uint8_t> build_tdef_buffer(const Format& format, const TableLayout& table,
                                            const TextCodec& text) {
  Buffer out(format.tdef.header_end);
  put_header(format, out, table);
  for (const IndexLayout& index : table.indexes) {
    std::size_t at = out.grow(format.tdef.real_index_stats_size);
    out.u32(at + unique_keys_offset, index.unique_keys);
  }
  std::uint16_t code_page = 1252;
  for (const ColumnDef& column : table.columns) {
    if (column.code_page != 0) code_page = column.code_page;
  }
  for (const ColumnDef& column : table.columns) put_column(format, out, column, code_page);
  for (const ColumnDef& column : table.columns) put_name(format, out, column.name, text);
  for (const IndexLayout& index : table.indexes) put_real_index(format, out, index);
  for (std::uint32_t i = 0; i < table.indexes.size(); ++i)
    put_logical_index(format, out, table.indexes[i], i);
  for (const IndexLayout& index : table.indexes) put_name(format, out, index.name, text);
  std::size_t end = out.grow(2);
  out.u16(end, long_value_list_end);  // no long-value column maps
  out.u32(definition_length_offset, static_cast<std::uint32_t>(out.size()));
  return std::move(out.bytes());
}

std::size_t tdef_page_count(const Format& format, std::size_t size) {
  if (size + continuation_header_size <= format.page_size) return 1;
  std::size_t per_page = format.page_size - continuation_header_size;
  return 1 + (size - format.page_size + per_page - 1) / per_page;
}

void write_tdef_pages(const Format& format, std::span<const std::uint8_t> buffer,
                      std::span<const std::uint32_t> numbers, PageImages& pages) {
  std::size_t done = std::min<std::size_t>(buffer.size(), format.page_size);
  auto& first = pages[numbers[0]];
  std::copy(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(done), first.begin());
  if (format.tdef.stores_free_space && numbers.size() == 1)
    le::put16(first.data() + page_free_space_offset,
              static_cast<std::uint16_t>(format.page_size - buffer.size() - 8));
  for (std::size_t i = 1; i < numbers.size(); ++i) {
    le::put32(pages[numbers[i - 1]].data() + next_page_offset, numbers[i]);
    auto& page = pages[numbers[i]];
    write_page_header(page, table_def_page_type);
    put_constants(page.data(), format.tdef.page_constants);
    std::size_t chunk =
        std::min<std::size_t>(buffer.size() - done, format.page_size - continuation_header_size);
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(done),
              buffer.begin() + static_cast<std::ptrdiff_t>(done + chunk),
              page.begin() + continuation_header_size);
    done += chunk;
  }
}

}  // namespace norv::jet
