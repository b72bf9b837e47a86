#pragma once

// The engine's rows of a table against mdb-export's, field by field.

#include <string>

#include "jet/database.h"

namespace norv::jet {

// Adds a test failure for every row or field where the engine and mdbtools
// disagree, allowing for the ways mdbtools prints values.
void expect_mdbtools_agrees(const Database& db, const std::string& table);

}  // namespace norv::jet
