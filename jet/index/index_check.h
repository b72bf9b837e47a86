#pragma once

// The index check of one table (Database::check_indexes): every real index
// walked from its root page and held against the table's rows.

#include <string_view>

#include "jet/format/table_def.h"
#include "jet/format/usage_map.h"
#include "jet/table/table_scan.h"
#include "jet/types/schema.h"

namespace norv::jet {

// Adds what it finds in the indexes of `table` to `report`. `free_pages` is
// the global usage map: no index page may be marked free in it.
void check_table_indexes(const TableReader& reader, std::string_view table_name,
                         const TableDef& table, const UsageMap& free_pages,
                         IndexCheckReport& report);

// Before an update of `table` writes anything: the same check, and a
// CorruptDatabaseError naming the file, the table and the first damaged
// index when it finds a fault. An update rewrites index pages and the row
// pointers in them; on a tree it cannot trust it could spread the damage
// or free pages that another structure still uses.
void refuse_damaged_indexes(const TableReader& reader, std::string_view table_name,
                            const TableDef& table);

}  // namespace norv::jet
