#pragma once

// Where each column of a new table lives: column numbers in spec order,
// fixed-size types in the fixed area one after the other (Yes/No takes no
// bytes), everything else in variable slots in spec order. This is the
// layout Jet gives a freshly created table.

#include <cstdint>
#include <vector>

#include "jet/create/creator.h"
#include "jet/format/format.h"
#include "jet/format/table_def.h"

namespace norv::jet {

inline constexpr std::uint8_t system_column_flag = 0x10;

// Column definitions with names, flags, lengths and positions, plus
// max_cols / num_var_cols. `system` marks the columns of Jet's own tables.
TableDef lay_out_columns(const Format& format, const std::vector<ColumnSpec>& columns,
                         std::uint16_t code_page, bool system);

}  // namespace norv::jet
