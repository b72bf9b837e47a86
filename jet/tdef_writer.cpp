#include "jet/tdef_writer.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::uint32_t jet4_magic = 0x0659;        // seen before several Jet 4 structures
constexpr std::uint32_t jet4_index_magic = 0x0783;  // first bytes of a Jet 4 real index
constexpr std::size_t key_slots = 10;
constexpr std::size_t continuation_header = 8;
constexpr std::uint16_t general_sort_order = 0x0409;
constexpr std::uint8_t ascending = 0x01;

bool is_jet4(const Format& format) { return format.version == FormatVersion::jet4; }

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
  if (is_jet4(format)) {
    out.u32(0x0C, jet4_magic);
    out.u8(0x18, 0x01);  // autonumbering on, as Jet writes it
  } else {
    out.u8(2, 'V');
    out.u8(3, 'C');
  }
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
  if (is_jet4(format)) {
    out.u32(at + 1, jet4_magic);
    out.u16(at + 9, column.number);
    out.u8(at + static_cast<std::size_t>(c.extra_flags), column.extra_flags);
    if (column.type() == ColumnType::decimal) {
      out.u8(at + static_cast<std::size_t>(c.precision), column.precision);
      out.u8(at + static_cast<std::size_t>(c.scale), column.scale);
    } else if (is_textual(column)) {
      out.u16(at + c.sort_order, general_sort_order);
    }
  } else {
    // Jet 3 repeats sort order and code page on every column.
    out.u16(at + 7, 0x0001);
    out.u16(at + c.sort_order, general_sort_order);
    out.u16(at + static_cast<std::size_t>(c.code_page), code_page);
  }
}

void put_real_index(const Format& format, Buffer& out, const IndexLayout& index) {
  std::size_t at = out.grow(format.tdef.real_index_def_size);
  std::size_t keys = at;
  if (is_jet4(format)) {
    out.u32(at, jet4_index_magic);
    keys += 4;
  }
  for (std::size_t k = 0; k < key_slots; ++k) {
    bool used = k < index.column_numbers.size();
    out.u16(keys + 3 * k, used ? index.column_numbers[k] : 0xFFFF);
    out.u8(keys + 3 * k + 2, used && index.ascending.at(k) ? ascending : 0);
  }
  std::size_t rest = keys + 3 * key_slots;
  out.u32(rest, index.usage_map.to_u32());
  out.u32(rest + 4, index.first_page);
  std::size_t flags_at = is_jet4(format) ? rest + 12 : rest + 8;
  out.u8(flags_at, static_cast<std::uint8_t>(index.flags | (is_jet4(format) ? index_flags::jet4_always : 0)));
}

void put_logical_index(const Format& format, Buffer& out, const IndexLayout& index,
                       std::uint32_t number) {
  std::size_t at = out.grow(format.tdef.logical_index_def_size);
  if (is_jet4(format)) {
    out.u32(at, jet4_magic);
    at += 4;
  }
  out.u32(at, number);
  out.u32(at + 4, number);  // one real index per logical index, same position
  out.u32(at + 9, 0xFFFFFFFF);  // no related index
  out.u8(at + 19, index.primary_key ? 1 : 0);
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
  if (is_jet4(format) && numbers.size() == 1)
    le::put16(first.data() + 2, static_cast<std::uint16_t>(format.page_size - buffer.size() - 8));
  for (std::size_t i = 1; i < numbers.size(); ++i) {
    le::put32(pages[numbers[i - 1]].data() + 4, numbers[i]);
    auto& page = pages[numbers[i]];
    page[0] = 0x02;
    page[1] = 0x01;
    if (!is_jet4(format)) {
      page[2] = 'V';
      page[3] = 'C';
    }
    std::size_t chunk = std::min<std::size_t>(buffer.size() - done, format.page_size - continuation_header);
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(done),
              buffer.begin() + static_cast<std::ptrdiff_t>(done + chunk),
              page.begin() + continuation_header);
    done += chunk;
  }
}

}  // namespace norv::jet
