#include "jet/format/row_codec.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/base/little_endian.h"
#include "jet/format/row_offsets.h"
#include "jet/format/value_codec.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

std::size_t null_mask_size(std::size_t ncols) { return (ncols + 7) / 8; }

bool mask_bit(std::span<const std::uint8_t> mask, std::uint16_t number) {
  return (mask[number / 8] >> (number % 8) & 1) != 0;
}

// Bytes a fixed column takes in the fixed area.
std::size_t fixed_width(const ColumnDef& column) {
  return fixed_value_size(column.type()).value_or(column.length);
}

// A row needs its variable-offset table only if some variable column
// existed when it was written: rows of a table that had none (a variable
// column added later) end with the null mask alone.
bool reads_variable_columns(const TableDef& table, std::size_t ncols) {
  if (table.num_var_cols == 0) return false;
  return std::any_of(table.columns.begin(), table.columns.end(), [ncols](const ColumnDef& c) {
    return !c.is_fixed() && c.number < ncols;
  });
}

RowField fixed_field(const ColumnDef& column, std::span<const std::uint8_t> row,
                     std::size_t count_size, std::size_t area_end, const RowOrigin& origin) {
  std::size_t start = count_size + column.fixed_offset;
  std::size_t width = fixed_width(column);
  if (start + width > area_end)
    origin.corrupt(fmt::format("fixed column {} ({} bytes at offset {}) lies past the row's "
                               "fixed area ({} bytes)",
                               column.name, width, column.fixed_offset, area_end));
  return {true, row.subspan(start, width)};
}

}  // namespace

std::vector<RowField> decode_row_fields(const Format& format, const TableDef& table,
                                        std::span<const std::uint8_t> row,
                                        const RowOrigin& origin) {
  const std::size_t count_size = format.row_count_size;
  if (row.size() < count_size + 1)
    origin.corrupt(fmt::format("a row of {} bytes is too short", row.size()));
  const std::size_t ncols = count_size == 1 ? row[0] : le::get16(row.data());
  const std::size_t mask_size = null_mask_size(ncols);
  if (count_size + mask_size > row.size())
    origin.corrupt(fmt::format("a row of {} bytes cannot hold the null mask of {} columns",
                               row.size(), ncols));
  auto mask = row.last(mask_size);

  VariableOffsets offsets;
  std::size_t fixed_end = row.size() - mask_size;
  if (reads_variable_columns(table, ncols)) {
    offsets = read_variable_offsets(format, row, mask_size, origin);
    fixed_end = offsets.table_start;
  }

  std::vector<RowField> fields;
  fields.reserve(table.columns.size());
  for (const ColumnDef& column : table.columns) {
    bool bit = column.number < ncols && mask_bit(mask, column.number);
    if (column.is_boolean() || !bit) {
      fields.push_back({bit && column.is_boolean(), {}});
    } else if (column.is_fixed()) {
      fields.push_back(fixed_field(column, row, count_size, fixed_end, origin));
    } else if (column.var_index + 1u >= offsets.offsets.size()) {
      fields.push_back({});  // the row predates this variable slot
    } else {
      std::size_t start = offsets.offsets[column.var_index];
      std::size_t end = offsets.offsets[column.var_index + 1u];
      fields.push_back({true, row.subspan(start, end - start)});
    }
  }
  return fields;
}

std::vector<std::uint8_t> encode_row_fields(const Format& format, const TableDef& table,
                                            std::span<const RowField> fields,
                                            std::string_view table_name) {
  auto fail = [&](std::string_view what) -> void {
    throw InvalidArgumentError(fmt::format("table {}: {}", table_name, what));
  };
  if (fields.size() != table.columns.size())
    fail(fmt::format("{} values for {} columns", fields.size(), table.columns.size()));

  const std::size_t count_size = format.row_count_size;
  std::size_t fixed_size = 0;
  std::vector<const RowField*> by_var_index(table.num_var_cols, nullptr);
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDef& column = table.columns[i];
    if (column.number >= table.max_cols)
      fail(fmt::format("column {} has number {} beyond the table's {} columns", column.name,
                       column.number, table.max_cols));
    if (column.is_boolean()) continue;
    if (column.is_fixed()) {
      fixed_size = std::max(fixed_size, column.fixed_offset + fixed_width(column));
      if (fields[i].present && fields[i].bytes.size() != fixed_width(column))
        fail(fmt::format("column {} takes {} bytes, not {}", column.name, fixed_width(column),
                         fields[i].bytes.size()));
    } else {
      if (column.var_index >= table.num_var_cols)
        fail(fmt::format("column {} has variable slot {} beyond the table's {}", column.name,
                         column.var_index, table.num_var_cols));
      by_var_index[column.var_index] = &fields[i];
    }
  }

  std::vector<std::uint8_t> row(count_size + fixed_size, 0);
  if (count_size == 1)
    row[0] = static_cast<std::uint8_t>(table.max_cols);
  else
    le::put16(row.data(), table.max_cols);
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDef& column = table.columns[i];
    if (column.is_fixed() && !column.is_boolean() && fields[i].present)
      std::copy(fields[i].bytes.begin(), fields[i].bytes.end(),
                row.begin() + static_cast<std::ptrdiff_t>(count_size + column.fixed_offset));
  }

  std::vector<std::uint8_t> mask(null_mask_size(table.max_cols), 0);
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    std::uint16_t number = table.columns[i].number;
    if (fields[i].present) mask[number / 8] |= static_cast<std::uint8_t>(1u << (number % 8));
  }

  if (table.num_var_cols > 0) {
    std::vector<std::size_t> offsets;
    offsets.reserve(table.num_var_cols + 1u);
    for (const RowField* field : by_var_index) {
      offsets.push_back(row.size());
      if (field != nullptr && field->present)
        row.insert(row.end(), field->bytes.begin(), field->bytes.end());
    }
    offsets.push_back(row.size());
    append_variable_offsets(format, row, offsets, mask.size());
  }
  row.insert(row.end(), mask.begin(), mask.end());

  if (row.size() > format.max_row_size)
    fail(fmt::format("the row takes {} bytes; a row holds at most {}. Store less in it",
                     row.size(), format.max_row_size));

  RowOrigin check{table_name, 0, 0};
  auto decoded = decode_row_fields(format, table, row, check);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    bool same = decoded[i].present == fields[i].present &&
                (!fields[i].present ||
                 std::equal(decoded[i].bytes.begin(), decoded[i].bytes.end(),
                            fields[i].bytes.begin(), fields[i].bytes.end()));
    if (!same) fail(fmt::format("the row cannot be laid out (column {})", table.columns[i].name));
  }
  return row;
}

std::vector<Value> decode_row(const Format& format, const TableDef& table,
                              std::span<const std::uint8_t> row, const TextCodec& text,
                              const RowOrigin& origin) {
  auto fields = decode_row_fields(format, table, row, origin);
  std::vector<Value> values;
  values.reserve(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const ColumnDef& column = table.columns[i];
    if (column.is_boolean())
      values.emplace_back(fields[i].present);
    else if (!fields[i].present)
      values.emplace_back(Null{});
    else
      values.push_back(decode_value(column, fields[i].bytes, text, origin));
  }
  return values;
}

std::vector<std::uint8_t> encode_row(const Format& format, const TableDef& table,
                                     std::span<const Value> values, const TextCodec& text,
                                     std::string_view table_name) {
  if (values.size() != table.columns.size())
    throw InvalidArgumentError(fmt::format("table {}: {} values for {} columns", table_name,
                                           values.size(), table.columns.size()));
  std::vector<std::vector<std::uint8_t>> encoded(values.size());
  std::vector<RowField> fields(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const ColumnDef& column = table.columns[i];
    if (column.is_boolean()) {
      // Yes/No is never Null in Jet: Null stores No.
      const bool* flag = std::get_if<bool>(&values[i]);
      if (flag == nullptr && !is_null(values[i]))
        throw InvalidArgumentError(
            fmt::format("column {} (Yes/No) needs a Yes/No value", column.name));
      fields[i].present = flag != nullptr && *flag;
    } else if (!is_null(values[i])) {
      encoded[i] = encode_value(column, values[i], text);
      fields[i] = {true, encoded[i]};
    }
  }
  return encode_row_fields(format, table, fields, table_name);
}

}  // namespace norv::jet
