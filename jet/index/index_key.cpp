#include "jet/index/index_key.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>

#include "jet/base/format_fault.h"
#include "jet/format/value_codec.h"
#include "jet/index/general_sort_key.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::uint16_t general_code_page = 1252;
constexpr std::uint8_t general_sort_version = 0;

namespace key_flags {
constexpr std::uint8_t ascending = 0x7F;
constexpr std::uint8_t ascending_null = 0x00;
constexpr std::uint8_t descending = 0x80;
constexpr std::uint8_t descending_null = 0xFF;
}  // namespace key_flags

// GUID and Binary keys come in groups of eight bytes; every full group but
// the last is followed by this marker, the last by its length.
constexpr std::size_t group_size = 8;
constexpr std::uint8_t more_groups = 0x09;

void invert(std::span<std::uint8_t> bytes) {
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(~b);
}

void check_size(const ColumnDef& column, std::span<const std::uint8_t> bytes, std::size_t size,
                std::string_view where) {
  if (bytes.size() != size)
    throw InvalidArgumentError(fmt::format("{}: column {} holds {} bytes, not the {} of its type",
                                           where, column.name, bytes.size(), size));
}

// Two's complement integers: big-endian, sign bit flipped.
std::vector<std::uint8_t> integer_key(std::span<const std::uint8_t> stored) {
  std::vector<std::uint8_t> out(stored.rbegin(), stored.rend());
  out[0] ^= 0x80;
  return out;
}

// IEEE floats: big-endian; positive numbers get the sign bit set, negative
// ones are inverted so that larger magnitudes sort first.
std::vector<std::uint8_t> float_key(std::span<const std::uint8_t> stored) {
  std::vector<std::uint8_t> out(stored.rbegin(), stored.rend());
  if ((out[0] & 0x80) == 0)
    out[0] ^= 0x80;
  else
    invert(out);
  return out;
}

std::vector<std::uint8_t> grouped_key(std::span<const std::uint8_t> bytes, bool ascending) {
  std::vector<std::uint8_t> out;
  std::size_t at = 0;
  while (bytes.size() - at > group_size) {
    const std::size_t start = out.size();
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
               bytes.begin() + static_cast<std::ptrdiff_t>(at + group_size));
    if (!ascending) invert(std::span(out).subspan(start));
    out.push_back(more_groups);
    at += group_size;
  }
  const std::size_t start = out.size();
  const std::size_t length = bytes.size() - at;
  out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
  out.resize(start + group_size, 0);
  out.push_back(static_cast<std::uint8_t>(length));
  if (!ascending) invert(std::span(out).subspan(start));
  return out;
}

// The stored GUID's first three groups are little-endian; the key takes
// them in the written order.
std::array<std::uint8_t, 16> guid_in_written_order(std::span<const std::uint8_t> stored) {
  std::array<std::uint8_t, 16> out{};
  std::reverse_copy(stored.begin(), stored.begin() + 4, out.begin());
  std::reverse_copy(stored.begin() + 4, stored.begin() + 6, out.begin() + 4);
  std::reverse_copy(stored.begin() + 6, stored.begin() + 8, out.begin() + 6);
  std::copy(stored.begin() + 8, stored.end(), out.begin() + 8);
  return out;
}

// A sign byte and 16 big-endian magnitude bytes. Jet 4 orders a descending
// Decimal index by magnitude alone within each sign, with the negative
// numbers first; the keys reproduce that.
std::vector<std::uint8_t> decimal_key(std::span<const std::uint8_t> stored, bool ascending) {
  const bool negative = (stored[0] & 0x80) != 0;
  std::vector<std::uint8_t> out{negative ? std::uint8_t{0x00} : std::uint8_t{0xFF}};
  for (std::size_t word = 0; word < 4; ++word)
    for (std::size_t i = 4; i-- > 0;) out.push_back(stored[1 + 4 * word + i]);
  if (negative == ascending) invert(std::span(out).subspan(1));
  return out;
}

std::vector<std::uint8_t> text_key(const Format& format, std::span<const std::uint8_t> stored,
                                   bool ascending) {
  std::vector<std::uint8_t> key = format.text_unit_size == 1
                                      ? jet3_general_sort_key(stored)
                                      : jet4_general_sort_key(ucs2_code_units(stored));
  return ascending ? key : descending_text_key(format.version, std::move(key));
}

// The value bytes after the flag byte, in the index's direction.
std::vector<std::uint8_t> value_key(const Format& format, const ColumnDef& column,
                                    std::span<const std::uint8_t> stored, bool ascending,
                                    std::string_view where) {
  std::vector<std::uint8_t> out;
  switch (column.type()) {
    case ColumnType::byte:
      check_size(column, stored, 1, where);
      out.assign(stored.begin(), stored.end());
      break;
    case ColumnType::integer:
    case ColumnType::long_integer:
    case ColumnType::currency:
      check_size(column, stored, *fixed_value_size(column.type()), where);
      out = integer_key(stored);
      break;
    case ColumnType::single:
    case ColumnType::double_:
    case ColumnType::date_time:
      check_size(column, stored, *fixed_value_size(column.type()), where);
      out = float_key(stored);
      break;
    case ColumnType::guid: {
      check_size(column, stored, 16, where);
      return grouped_key(guid_in_written_order(stored), ascending);
    }
    case ColumnType::binary:
      return grouped_key(stored, ascending);
    case ColumnType::decimal:
      check_size(column, stored, 17, where);
      return decimal_key(stored, ascending);
    case ColumnType::text:
    case ColumnType::memo:
      return text_key(format, stored, ascending);
    default:
      throw NotSupportedError(fmt::format("{}: column {} ({}) cannot be part of an index key",
                                          where, column.name, column_type_name(column.type())));
  }
  if (!ascending) invert(out);
  return out;
}

std::size_t key_column_position(const TableDef& table, std::uint16_t number) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (table.columns[i].number == number) return i;
  throw_format_fault(fmt::format("an index of the table defined on page {} names column number "
                                 "{}, which the table lacks",
                                 table.page, number));
}

}  // namespace

bool computes_keys_of(const Format& format, const ColumnDef& column) {
  if (column.type() != ColumnType::text && column.type() != ColumnType::memo)
    return column.type() != ColumnType::ole;
  if (column.sort_order != general_sort_order) return false;
  // A column definition names its text's order by code page where it has
  // one, otherwise by sort version.
  if (format.column.code_page >= 0) return column.code_page == general_code_page;
  return column.sort_version == general_sort_version;
}

std::vector<std::uint8_t> index_key_part(const Format& format, const ColumnDef& column,
                                         const RowField& stored, bool ascending,
                                         std::string_view where) {
  if (column.is_boolean()) {
    // Never null: a missing value counts as false. True sorts first.
    const std::uint8_t value = stored.present ? 0x00 : 0xFF;
    return {ascending ? key_flags::ascending : key_flags::descending,
            ascending ? value : static_cast<std::uint8_t>(~value)};
  }
  if (!stored.present) return {null_key_part(ascending)};
  std::vector<std::uint8_t> out{ascending ? key_flags::ascending : key_flags::descending};
  std::vector<std::uint8_t> value = value_key(format, column, stored.bytes, ascending, where);
  out.insert(out.end(), value.begin(), value.end());
  return out;
}

std::vector<std::uint8_t> index_key_part(const Format& format, const ColumnDef& column,
                                         const Value& value, const TextCodec& text,
                                         bool ascending, std::string_view where) {
  if (const auto* flag = std::get_if<bool>(&value))
    return index_key_part(format, column, RowField{*flag, {}}, ascending, where);
  if (is_null(value)) return index_key_part(format, column, RowField{}, ascending, where);
  std::vector<std::uint8_t> stored;
  if (const auto* s = std::get_if<std::string>(&value); s != nullptr && column.type() == ColumnType::memo)
    stored = text.encode(*s, false);
  else
    stored = encode_value(column, value, text);
  return index_key_part(format, column, RowField{true, stored}, ascending, where);
}

bool computes_keys_of(const Format& format, const TableDef& table, const RealIndexDef& index) {
  return std::all_of(index.keys.begin(), index.keys.end(), [&](const IndexKey& key) {
    return computes_keys_of(format, table.columns[key_column_position(table, key.column_number)]);
  });
}

std::uint8_t null_key_part(bool ascending) {
  return ascending ? key_flags::ascending_null : key_flags::descending_null;
}

bool is_all_null_key(const RealIndexDef& index, const std::vector<std::uint8_t>& key) {
  if (key.size() != index.keys.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i)
    if (key[i] != null_key_part(index.keys[i].ascending))
      return false;
  return true;
}

std::optional<std::vector<std::uint8_t>> row_index_key(const Format& format, const TableDef& table,
                                                       const RealIndexDef& index,
                                                       const KeyFieldSource& field_of,
                                                       std::string_view where) {
  std::vector<std::uint8_t> key;
  bool all_null = true;
  for (const IndexKey& slot : index.keys) {
    const std::size_t at = key_column_position(table, slot.column_number);
    const ColumnDef& column = table.columns[at];
    std::vector<std::uint8_t> storage;
    const RowField field = field_of(at, storage);
    all_null = all_null && !field.present && !column.is_boolean();
    const auto part = index_key_part(format, column, field, slot.ascending, where);
    key.insert(key.end(), part.begin(), part.end());
  }
  if (all_null && (index.flags & index_flags::ignore_nulls) != 0) return std::nullopt;
  return key;
}

}  // namespace norv::jet
