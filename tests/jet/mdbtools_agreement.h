#pragma once

// The engine and mdbtools reading the same table: where the two disagree
// one of them is wrong, and it must not be ours.

#include <string>

#include "jet/database.h"
#include "jet/value.h"

namespace norv::jet {

// Whether mdb-export's text for a field says the same as the engine's value.
// mdbtools prints Yes/No as 1/0, Currency and Decimal with their scale's
// digits, floating point in its own precision, a zero-length string like
// Null, GUIDs as the hex of their text without one of the hyphens, and
// binary values in hex (the export asks for it).
bool agrees(const Value& value, const std::string& exported);

// Reads `name` with both and adds a test failure for every field on which
// they disagree.
void compare_table(const Database& db, const std::string& name);

}  // namespace norv::jet
