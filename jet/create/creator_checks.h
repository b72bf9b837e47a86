#pragma once

// What the creator refuses before it builds anything: names that are empty,
// too long, used twice or reserved; columns, indexes and rows that do not
// fit the format or each other.

#include <filesystem>

#include "jet/create/creator.h"

namespace norv::jet {

// Throws InvalidArgumentError or NotSupportedError naming `file` and the
// table concerned.
void check_database_spec(const DatabaseSpec& spec, const std::filesystem::path& file);

}  // namespace norv::jet
