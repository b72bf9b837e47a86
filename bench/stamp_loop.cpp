#include "bench/stamp_loop.h"

#include <string>

#include "jet/database.h"

namespace norv::bench {

void stamp_control_table(benchmark::State& state, const std::filesystem::path& file,
                         const StampedColumn& stamped) {
  if (!std::filesystem::exists(file)) {
    state.SkipWithError(("fixture not found: " + file.string()).c_str());
    return;
  }
  std::uint64_t iteration = 0;
  jet::IoStats io;
  std::uint32_t pages = 0;
  for (auto _ : state) {
    jet::Database db = jet::Database::open(file);
    benchmark::DoNotOptimize(db.catalog().size());
    const std::string value = stamped.values[iteration++ % 2];
    benchmark::DoNotOptimize(db.update_column(stamped.table, stamped.column, value));
    io = db.io_stats();
    pages = db.page_count();
  }
  state.counters["pages_read"] = static_cast<double>(io.pages_read);
  state.counters["pages_written"] = static_cast<double>(io.pages_written);
  state.counters["read_kib"] = static_cast<double>(io.bytes_read) / 1024.0;
  state.counters["file_pages"] = static_cast<double>(pages);
}

}  // namespace norv::bench
