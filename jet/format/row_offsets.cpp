#include "jet/format/row_offsets.h"

#include <fmt/format.h>

#include "jet/base/little_endian.h"

namespace norv::jet {

namespace {

constexpr std::size_t jump_span = 256;

void check_offsets(const VariableOffsets& read, std::size_t count_size, const RowOrigin& origin) {
  std::size_t previous = count_size;
  for (std::size_t i = 0; i < read.offsets.size(); ++i) {
    std::size_t offset = read.offsets[i];
    if (offset < previous || offset > read.table_start)
      origin.corrupt(fmt::format(
          "variable offset {} of the row is {}, outside {}..{} (offsets out of order or past "
          "the variable data)",
          i, offset, previous, read.table_start));
    previous = offset;
  }
}

VariableOffsets read_jet4(std::span<const std::uint8_t> row, std::size_t end,
                          const RowOrigin& origin) {
  if (end < 2 + 2 + 2) origin.corrupt("a row is too short for its variable-offset table");
  std::size_t nvar = le::get16(row.data() + end - 2);
  std::size_t table_size = 2 * (nvar + 1);
  if (end - 2 < table_size + 2)
    origin.corrupt(fmt::format("a row of {} bytes cannot hold {} variable offsets", row.size(),
                               nvar));
  VariableOffsets read;
  read.table_start = end - 2 - table_size;
  for (std::size_t i = 0; i <= nvar; ++i)
    read.offsets.push_back(le::get16(row.data() + end - 4 - 2 * i));
  return read;
}

VariableOffsets read_jet3(std::span<const std::uint8_t> row, std::size_t end,
                          const RowOrigin& origin) {
  if (end < 1 + 1 + 1) origin.corrupt("a row is too short for its variable-offset table");
  std::size_t nvar = row[end - 1];
  std::size_t slots = (row.size() - 1) / jump_span;
  if (end - 1 < slots + (nvar + 1) + 1)
    origin.corrupt(fmt::format("a row of {} bytes cannot hold {} variable offsets", row.size(),
                               nvar));
  std::size_t base = end - 2 - slots;  // position of off[0]
  VariableOffsets read;
  read.table_start = base - nvar;
  // The lowest-addressed jump slot may be a 0xFF filler the row's length
  // forced but no offset needs.
  if (read.table_start / jump_span < slots) slots -= 1;
  std::size_t jumps = 0;
  for (std::size_t i = 0; i <= nvar; ++i) {
    while (jumps < slots && row[end - 2 - jumps] == i) ++jumps;
    read.offsets.push_back(row[base - i] + jump_span * jumps);
  }
  return read;
}

void append_jet4(std::vector<std::uint8_t>& row, const std::vector<std::size_t>& offsets) {
  for (std::size_t i = offsets.size(); i-- > 0;)
    le::append16(row, static_cast<std::uint16_t>(offsets[i]));
  le::append16(row, static_cast<std::uint16_t>(offsets.size() - 1));
}

void append_jet3(std::vector<std::uint8_t>& row, const std::vector<std::size_t>& offsets,
                 std::size_t mask_size) {
  const std::size_t fixed_part = row.size() + offsets.size() + 1 + mask_size;
  std::size_t slots = 0;
  while ((fixed_part + slots - 1) / jump_span != slots) slots = (fixed_part + slots - 1) / jump_span;
  for (std::size_t i = offsets.size(); i-- > 0;)
    row.push_back(static_cast<std::uint8_t>(offsets[i] & 0xFF));
  for (std::size_t k = slots; k-- > 0;) {
    std::uint8_t jump = 0xFF;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
      if (offsets[i] >= jump_span * (k + 1)) {
        jump = static_cast<std::uint8_t>(i);
        break;
      }
    }
    row.push_back(jump);
  }
  row.push_back(static_cast<std::uint8_t>(offsets.size() - 1));
}

}  // namespace

VariableOffsets read_variable_offsets(const Format& format, std::span<const std::uint8_t> row,
                                      std::size_t mask_size, const RowOrigin& origin) {
  std::size_t end = row.size() - mask_size;
  VariableOffsets read = format.row_offset_size == 1 ? read_jet3(row, end, origin)
                                                     : read_jet4(row, end, origin);
  check_offsets(read, format.row_count_size, origin);
  return read;
}

void append_variable_offsets(const Format& format, std::vector<std::uint8_t>& row,
                             const std::vector<std::size_t>& offsets, std::size_t mask_size) {
  if (format.row_offset_size == 1)
    append_jet3(row, offsets, mask_size);
  else
    append_jet4(row, offsets);
}

}  // namespace norv::jet
