#include "bench/bench_files.h"

#include <cstdlib>

namespace norv::bench {

namespace fs = std::filesystem;

fs::path shared_fixture(const std::string& relative) {
  const char* env = std::getenv("NORV_SHARED_DIR");
  return fs::path(env ? env : NORV_SHARED_DIR) / "fixtures" / relative;
}

fs::path grown_copy(std::uint32_t extra_pages) {
  const fs::path source = shared_fixture("V2000/control-text.mdb");
  const fs::path target =
      fs::temp_directory_path() / ("norv-bench-grown-" + std::to_string(extra_pages) + ".mdb");
  fs::copy_file(source, target, fs::copy_options::overwrite_existing);
  fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
  fs::resize_file(target, fs::file_size(source) + std::uint64_t{extra_pages} * 4096);
  return target;
}

}  // namespace norv::bench
