#include "tests/jet/fixture_list.h"

#include <algorithm>

#include "tests/support/fixtures.h"

namespace norv::test {

std::vector<std::filesystem::path> all_fixture_databases() {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"V1997", "V2000", "V2003", "GENERIC_JET4"})
    for (const auto& entry : std::filesystem::directory_iterator(fixture(folder)))
      if (entry.path().extension() == ".mdb") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace norv::test
