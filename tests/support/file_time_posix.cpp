#include "tests/support/file_time.h"

namespace norv::test {

void set_modification_time(const std::filesystem::path& path,
                           std::filesystem::file_time_type time) {
  std::filesystem::last_write_time(path, time);
}

}  // namespace norv::test
