#pragma once

// The index check of one table (Database::check_indexes): every real index
// walked from its root page and held against the table's rows.

#include <string_view>

#include "jet/database.h"
#include "jet/table_def.h"
#include "jet/table_scan.h"
#include "jet/usage_map.h"

namespace norv::jet {

// Adds what it finds in the indexes of `table` to `report`. `free_pages` is
// the global usage map: no index page may be marked free in it.
void check_table_indexes(const TableReader& reader, std::string_view table_name,
                         const TableDef& table, const UsageMap& free_pages,
                         IndexCheckReport& report);

}  // namespace norv::jet
