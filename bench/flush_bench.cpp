// What durability costs on this machine: one 4 KiB page written over a
// database-sized file and synced, as an update's single page write is. An
// update's time less this is its time without the flush.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "bench/bench_databases.h"

namespace {

namespace fs = std::filesystem;

void BM_OnePageWrittenAndSynced(benchmark::State& state) {
  const fs::path copy = norv::bench::small_database().string() + ".flush";
  fs::copy_file(norv::bench::small_database(), copy, fs::copy_options::overwrite_existing);
  const int fd = ::open(copy.c_str(), O_RDWR);
  std::vector<char> page(4096, 0);
  for (auto _ : state) {
    ++page[100];
    if (::pwrite(fd, page.data(), page.size(), 4096) != 4096 || ::fdatasync(fd) != 0) {
      state.SkipWithError("write failed");
      break;
    }
  }
  ::close(fd);
  fs::remove(copy);
}

}  // namespace

BENCHMARK(BM_OnePageWrittenAndSynced)->Unit(benchmark::kMicrosecond);
