#pragma once

// The rows of a table a test's run wrote, read back by an independent
// reader where one can run: mdbtools (under Wine too, as a host program).
// On Windows itself there is none; there the engine's own reader reads the
// table, and its index check (every index entry against the rows) must find
// the file sound.

#include <filesystem>
#include <string>
#include <vector>

namespace norv::test {

// Rows as lists of field texts, as mdb_export gives them.
std::vector<std::vector<std::string>> written_rows(const std::filesystem::path& db,
                                                   const std::string& table);

}  // namespace norv::test
