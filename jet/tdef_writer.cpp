#include "jet/tdef_writer.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t key_slots = 10;
constexpr std::size_t continuation_header = 8;
constexpr std::uint16_t general_sort_order = 0x0409;
constexpr std::uint8_t ascending = 0x01;

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
    throw InvalidArgumentError(fmt::format("{}: the name {} is too long", text.file().string(), name));
  std::size_t at = out.grow(format.name_length_size);
  if (format.name_length_size == 1)
    out.u8(at, static_cast<std::uint8_t>(stored.size()));
  else
    out.u16(at, static_cast<std::uint16_t>(stored.size()));
  out.append(stored);
}

void put_header(const Format& format, Buffer& out, const TableLayout& table) {
  const TableDefLayout& t = format.tdef;
  out.u8(0, 0x02);
  out.u8(1, 0x01);
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
  for (std::size_t k = 0; k < key_slots; ++k) {
    bool used = k < index.column_numbers.size();
    out.u16(at + i.key_slots + 3 * k, used ? index.column_numbers[k] : 0xFFFF);
    out.u8(at + i.key_slots + 3 * k + 2, used && index.ascending.at(k) ? ascending : 0);
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
  out.u32(at + i.logical_related, 0xFFFFFFFF);  // no related index
  out.u8(at + i.logical_type, index.primary_key ? 1 : 0);
}

}  // namespace

std::vector<std::uint8_t> build_tdef_buffer(const Format& format, const TableLayout& table,
                                            const TextCodec& text) {
  Buffer out(format.tdef.header_end);
  put_header(format, out, table);
  for (const IndexLayout& index : table.indexes) {
    std::size_t at = out.grow(format.tdef.real_index_stats_size);
    out.u32(at + 4, index.unique_keys);
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
  out.u16(end, 0xFFFF);  // no long-value column maps
  out.u32(0x08, static_cast<std::uint32_t>(out.size()));
  return std::move(out.bytes());
}

std::size_t tdef_page_count(const Format& format, std::size_t size) {
  if (size + continuation_header <= format.page_size) return 1;
  std::size_t per_page = format.page_size - continuation_header;
  return 1 + (size - format.page_size + per_page - 1) / per_page;
}

void write_tdef_pages(const Format& format, std::span<const std::uint8_t> buffer,
                      std::span<const std::uint32_t> numbers, PageImages& pages) {
  std::size_t done = std::min<std::size_t>(buffer.size(), format.page_size);
  auto& first = pages[numbers[0]];
  std::copy(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(done), first.begin());
  if (format.tdef.stores_free_space && numbers.size() == 1)
    le::put16(first.data() + 2, static_cast<std::uint16_t>(format.page_size - buffer.size() - 8));
  for (std::size_t i = 1; i < numbers.size(); ++i) {
    le::put32(pages[numbers[i - 1]].data() + 4, numbers[i]);
    auto& page = pages[numbers[i]];
    page[0] = 0x02;
    page[1] = 0x01;
    put_constants(page.data(), format.tdef.page_constants);
    std::size_t chunk = std::min<std::size_t>(buffer.size() - done, format.page_size - continuation_header);
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(done),
              buffer.begin() + static_cast<std::ptrdiff_t>(done + chunk),
              page.begin() + continuation_header);
    done += chunk;
  }
}

}  // namespace norv::jet
