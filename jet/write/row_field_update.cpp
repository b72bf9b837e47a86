#include "jet/write/row_field_update.h"

#include <algorithm>
#include <optional>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

bool same_field(const RowField& a, const RowField& b) {
  return a.present == b.present &&
         std::equal(a.bytes.begin(), a.bytes.end(), b.bytes.begin(), b.bytes.end());
}

// Whether `row` reads as `before` with only `column` changed to `field`.
bool reads_as(const Format& format, const TableDef& table, std::span<const std::uint8_t> row,
              const std::vector<RowField>& before, std::size_t column, const RowField& field,
              const RowOrigin& origin) {
  const std::vector<RowField> after = decode_row_fields(format, table, row, origin);
  for (std::size_t i = 0; i < after.size(); ++i) {
    const RowField& wanted = i == column ? field : before[i];
    // A null fixed value may keep stale bytes; only its bit matters.
    if (!same_field(after[i], wanted) && (after[i].present || wanted.present)) return false;
  }
  return true;
}

// The row with the value written over the old one, or nullopt when the
// column is not stored in place in this row.
std::optional<std::vector<std::uint8_t>> overwrite_in_place(const Format& format,
                                                            const TableDef& table,
                                                            std::span<const std::uint8_t> row,
                                                            const ColumnDef& def,
                                                            const RowField& field) {
  if (!def.is_fixed()) return std::nullopt;
  const std::size_t count_size = format.row_count_size;
  const std::size_t ncols = count_size == 1 ? row[0] : le::get16(row.data());
  if (def.number >= ncols || ncols > table.max_cols) return std::nullopt;
  const std::size_t mask_size = (ncols + 7) / 8;
  const std::size_t start = count_size + def.fixed_offset;
  if (!def.is_boolean() && field.present && start + field.bytes.size() + mask_size > row.size())
    return std::nullopt;

  std::vector<std::uint8_t> out(row.begin(), row.end());
  if (!def.is_boolean() && field.present)
    std::copy(field.bytes.begin(), field.bytes.end(),
              out.begin() + static_cast<std::ptrdiff_t>(start));
  std::uint8_t& mask_byte = out[out.size() - mask_size + def.number / 8];
  const auto bit = static_cast<std::uint8_t>(1u << (def.number % 8));
  mask_byte = field.present ? (mask_byte | bit) : (mask_byte & static_cast<std::uint8_t>(~bit));
  return out;
}

}  // namespace

std::vector<std::uint8_t> set_row_field(const Format& format, const TableDef& table,
                                        std::span<const std::uint8_t> row,
                                        const std::vector<RowField>& before, std::size_t column,
                                        const RowField& field, const RowOrigin& origin) {
  if (auto in_place = overwrite_in_place(format, table, row, table.columns.at(column), field)) {
    // The in-place form is only taken when it reads back right; a row whose
    // fixed area does not hold the column is re-encoded instead.
    try {
      if (reads_as(format, table, *in_place, before, column, field, origin)) return *in_place;
    } catch (const CorruptDatabaseError&) {
    }
  }

  std::vector<RowField> fields = before;
  fields[column] = field;
  return encode_row_fields(format, table, fields, origin.table);
}

}  // namespace norv::jet
