#pragma once

#include <filesystem>
#include <vector>

namespace norv::test {

// Every .mdb file of the format folders of the shared fixtures, sorted.
std::vector<std::filesystem::path> all_fixture_databases();

}  // namespace norv::test
