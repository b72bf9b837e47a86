#pragma once

// The variable-offset table at the end of a row (before the null mask):
// Jet 4 two-byte offsets, Jet 3 one-byte offsets plus a jump table that
// adds 256 for every page of 256 bytes passed.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "jet/base/format_fault.h"
#include "jet/format/format.h"

namespace norv::jet {

struct VariableOffsets {
  // nvar + 1 entries: slot v spans [offsets[v], offsets[v + 1]); the last
  // entry is the end of the variable data.
  std::vector<std::size_t> offsets;
  std::size_t table_start = 0;  // first byte of the offset table in the row
};

// Reads and checks the table of `row` whose null mask is `mask_size` bytes:
// offsets in order, inside the row, after the column count, before the
// table. Anything else is a CorruptDatabaseError from `origin`.
VariableOffsets read_variable_offsets(const Format& format, std::span<const std::uint8_t> row,
                                      std::size_t mask_size, const RowOrigin& origin);

// Appends the table for `offsets` (as above, the last one being where the
// variable data ends, which must be row.size()) to `row`, for a row whose
// null mask of `mask_size` bytes follows. Jet 3: chooses the final length,
// reserves its jump slots, fills unneeded ones with 0xFF. The caller
// verifies the result by decoding it.
void append_variable_offsets(const Format& format, std::vector<std::uint8_t>& row,
                             const std::vector<std::size_t>& offsets, std::size_t mask_size);

}  // namespace norv::jet
