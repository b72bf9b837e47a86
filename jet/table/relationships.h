#pragma once

// The relationships MSysRelationships records (one row per column pair),
// and the referential integrity an update must keep: a column in an
// enforced relationship may be set when every relationship still holds
// afterwards, as Jet checks it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/format/table_def.h"
#include "jet/table/table_scan.h"
#include "jet/types/value.h"

namespace norv::jet {

inline constexpr std::string_view relationships_table = "MSysRelationships";

// The grbit of a relationship row.
namespace relationship_flags {
inline constexpr std::int32_t not_enforced = 0x02;
inline constexpr std::int32_t cascade_updates = 0x100;
}  // namespace relationship_flags

struct Relationship {
  std::string name;
  std::string table;  // the referencing (foreign-key) side
  std::string column;
  std::string referenced_table;
  std::string referenced_column;
  std::int32_t flags = 0;  // relationship_flags

  bool enforced() const { return (flags & relationship_flags::not_enforced) == 0; }
  bool cascades_updates() const { return (flags & relationship_flags::cascade_updates) != 0; }
  // Whether `column` of `table` (names without regard to case) is on
  // either side.
  bool involves(std::string_view table, std::string_view column) const;
};

// Every row of MSysRelationships, whose definition is `definition`.
std::vector<Relationship> read_relationships(const TableReader& reader,
                                             const TableDef& definition);

// A value as the column's index holds it: its ascending key part
// (index_key.h), nullopt for Null. Related values are those whose keys are
// equal, so text matches as the index's sort order has it ("Strasse" and
// "straße" alike), not as a case-blind comparison would.
using RelatedKey = std::optional<std::vector<std::uint8_t>>;

// The keys of every row's value of a column of a local table, both by name
// (stored names, without regard to case), Null ones included; nullopt when
// there is no such table or column.
using ColumnKeys = std::function<std::optional<std::vector<RelatedKey>>(std::string_view table,
                                                                        std::string_view column)>;

// Checks, before anything is written, that giving `column` of `table` the
// value whose key is `value` in every row keeps every enforced
// relationship the column is in. As referencing column: the value must be
// Null or one the referenced column holds. As referenced column: every row
// referring to the table must already hold the value (or Null). Otherwise
// throws InvalidArgumentError with Jet's message; a
// relationship whose cascade would change the referring rows, or one of
// several columns, is a NotSupportedError saying to make the change in
// Access.
void check_relationships(const std::vector<Relationship>& relationships,
                         const ColumnKeys& keys_of, std::string_view table,
                         std::string_view column, const RelatedKey& value);

}  // namespace norv::jet
