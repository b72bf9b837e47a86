#pragma once

// What the creator refuses before it builds anything: names that are empty,
// too long, used twice or reserved; columns, indexes and rows that do not
// fit the format or each other.

#include "jet/create/creator.h"
#include <filesystem>

namespace norv::jet {

// Throws InvalidArgumentError or NotSupportedError naming the table
// concerned; create_database's boundary adds the file.
void check_database_spec(const DatabaseSpec& spec);

}  // namespace norv::jet
