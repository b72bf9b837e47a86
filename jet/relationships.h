#pragma once

// The relationships MSysRelationships records (one row per column pair).
// The engine does not check referential integrity on update, so a column
// in an enforced relationship, on either side, is left alone.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "jet/table_def.h"
#include "jet/table_scan.h"

namespace norv::jet {

inline constexpr std::string_view relationships_table = "MSysRelationships";

struct Relationship {
  std::string name;
  std::string table;  // the referencing (foreign-key) side
  std::string column;
  std::string referenced_table;
  std::string referenced_column;
  std::int32_t flags = 0;  // grbit: 0x02 not enforced, 0x100 cascade updates

  bool enforced() const { return (flags & 0x02) == 0; }
  // Whether `column` of `table` (names without regard to case) is on
  // either side.
  bool involves(std::string_view table, std::string_view column) const;
};

// Every row of MSysRelationships, whose definition is `definition`.
std::vector<Relationship> read_relationships(const TableReader& reader,
                                             const TableDef& definition);

// Throws NotSupportedError naming `file` when `column` of `table` is in an
// enforced relationship.
void refuse_column_in_relationship(const std::vector<Relationship>& relationships,
                                   const std::filesystem::path& file, std::string_view table,
                                   std::string_view column);

}  // namespace norv::jet
