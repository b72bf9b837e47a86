#pragma once

// Small builders for the codec tests: hand-made table definitions and byte
// strings written as hex.

#include <cstdint>
#include <string_view>
#include <vector>

#include "jet/format/table_def.h"

namespace norv::test {

std::vector<std::uint8_t> hex(std::string_view text);

jet::ColumnDef fixed_column(std::string name, jet::ColumnType type, std::uint16_t number,
                            std::uint16_t fixed_offset, std::uint16_t length);
jet::ColumnDef variable_column(std::string name, jet::ColumnType type, std::uint16_t number,
                               std::uint16_t var_index, std::uint16_t length);

// A definition with max_cols / num_var_cols taken from the columns unless
// given (deleted columns leave them larger).
jet::TableDef table_of(std::vector<jet::ColumnDef> columns, std::uint16_t max_cols = 0,
                       std::uint16_t num_var_cols = 0);

}  // namespace norv::test
