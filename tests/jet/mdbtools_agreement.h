#pragma once

// The engine and mdbtools reading the same table: where the two disagree
// one of them is wrong, and it must not be ours.

#include <string>

#include "jet/database.h"
#include "jet/types/value.h"

namespace norv::jet {

// Whether mdb-export's text for a field says the same as the engine's value.
// mdbtools prints Yes/No as 1/0, Currency and Decimal with their scale's
// digits, floating point in its own precision, a zero-length string like
// Null, GUIDs as the hex of their text without one of the hyphens, and
// binary values in hex (the export asks for it).
bool agrees(const Value& value, const std::string& exported);

// How rows are paired. mdbtools 1.0 reads an overflowed row where its body
// is, not where its header is (it treats the hidden-row flag as "lookup"
// and the pointer flag as "deleted", the swap its later versions fixed), so
// after rows have moved it lists them in another order; and it lists
// overflow rows nothing points at yet, which a write cut short between
// pages may leave.
enum class RowMatch {
  in_order,                    // row r with row r
  any_order,                   // the same rows, in any order
  engine_rows_among_exported,  // each engine row somewhere in the export
};

// Reads `name` with both and adds a test failure for every field (or row)
// on which they disagree.
void compare_table(const Database& db, const std::string& name,
                   RowMatch match = RowMatch::in_order);

}  // namespace norv::jet
