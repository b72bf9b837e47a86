// The command line side by side with mdbtools, on the same files in the
// same run: listing the tables (jet-cli tables, mdb-tables) and reading the
// control table (jet-cli rows, mdb-export), in a small database and in one
// of a few hundred megabytes, both made by the creator; and a whole stamping
// run of norv-version-update-cli on the large database. Each run is a child
// process: its time, peak memory (peak_rss_kib) and bytes read (read_kib,
// every read() the process made) are what a user sees. BM_AboveTheFloor
// runs the four commands and /bin/true in turns, so that a burst of load on
// the machine falls on all of them alike, and gives each command's time
// above that floor (what starting any process costs) and jet-cli's time as
// a share of mdbtools'.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_databases.h"
#include "bench/child_process.h"

namespace {

namespace fs = std::filesystem;
using norv::bench::ChildRun;

using ArgvFor = std::function<std::vector<std::string>(std::uint64_t iteration)>;

void run_tool(benchmark::State& state, const fs::path& file, const ArgvFor& argv_for) {
  ChildRun run;
  std::uint64_t iteration = 0;
  for (auto _ : state) {
    const std::vector<std::string> argv = argv_for(iteration++);
    run = norv::bench::run_child(argv);
    if (run.exit_status != 0) {
      state.SkipWithError((argv[0] + " failed on " + file.string()).c_str());
      return;
    }
  }
  state.counters["peak_rss_kib"] = static_cast<double>(run.peak_rss_kib);
  state.counters["read_kib"] = static_cast<double>(run.bytes_read) / 1024.0;
  state.counters["file_mib"] = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
}

void run_tool(benchmark::State& state, const fs::path& file, const std::vector<std::string>& argv) {
  run_tool(state, file, [&](std::uint64_t) { return argv; });
}

const fs::path& database(const benchmark::State& state) {
  return state.range(0) == 0 ? norv::bench::small_database() : norv::bench::large_database();
}

void BM_JetCliTables(benchmark::State& state) {
  const fs::path& db = database(state);
  run_tool(state, db, {NORV_JET_CLI, "tables", db.string()});
}
void BM_MdbTables(benchmark::State& state) {
  const fs::path& db = database(state);
  run_tool(state, db, {"mdb-tables", "-1", db.string()});
}
void BM_JetCliRowsOfControl(benchmark::State& state) {
  const fs::path& db = database(state);
  run_tool(state, db, {NORV_JET_CLI, "rows", db.string(), "Control"});
}
void BM_MdbExportOfControl(benchmark::State& state) {
  const fs::path& db = database(state);
  run_tool(state, db, {"mdb-export", db.string(), "Control"});
}

double median_ms(std::vector<std::uint64_t> microseconds) {
  std::sort(microseconds.begin(), microseconds.end());
  return static_cast<double>(microseconds[microseconds.size() / 2]) / 1000.0;
}

// Each round runs every command once; the counters are medians over the
// rounds: the floor, each command above it (wall and CPU time of the child
// alone), and jet-cli over mdbtools (below 0.5 is the goal).
void BM_AboveTheFloor(benchmark::State& state) {
  const std::string db = database(state).string();
  enum { floor, jet_tables, mdb_tables, jet_rows, mdb_export, command_count };
  const std::array<std::vector<std::string>, command_count> commands{{
      {"/bin/true"},
      {NORV_JET_CLI, "tables", db},
      {"mdb-tables", "-1", db},
      {NORV_JET_CLI, "rows", db, "Control"},
      {"mdb-export", db, "Control"},
  }};
  std::array<std::vector<std::uint64_t>, command_count> wall, cpu;
  for (auto _ : state) {
    for (std::size_t i = 0; i < command_count; ++i) {
      const ChildRun run = norv::bench::run_child(commands[i]);
      if (run.exit_status != 0) {
        state.SkipWithError((commands[i][0] + " failed on " + db).c_str());
        return;
      }
      wall[i].push_back(run.wall_us);
      cpu[i].push_back(run.cpu_us);
    }
  }
  auto report = [&](const std::string& suffix, const auto& times) {
    std::array<double, command_count> above{};
    const double floor_ms = median_ms(times[floor]);
    for (std::size_t i = 1; i < command_count; ++i) above[i] = median_ms(times[i]) - floor_ms;
    state.counters["floor" + suffix] = floor_ms;
    state.counters["tables_jet" + suffix] = above[jet_tables];
    state.counters["tables_mdb" + suffix] = above[mdb_tables];
    state.counters["tables_ratio" + suffix] = above[jet_tables] / above[mdb_tables];
    state.counters["rows_jet" + suffix] = above[jet_rows];
    state.counters["rows_mdb" + suffix] = above[mdb_export];
    state.counters["rows_ratio" + suffix] = above[jet_rows] / above[mdb_export];
  };
  report("_ms", wall);
  report("_cpu_ms", cpu);
}

// A demo installation whose Dovrel database is a copy of the large one.
class LargeInstallation {
 public:
  LargeInstallation() {
    fs::remove_all(prefix_);
    norv::bench::run_child({NORV_CLI, "--create-demo", prefix_.string()});
    for (const auto& entry : fs::recursive_directory_iterator(prefix_ / "drive_c")) {
      if (entry.path().filename() == "Dovrel.mdb") dovrel_ = entry.path();
    }
    if (!dovrel_.empty()) {
      fs::copy_file(norv::bench::large_database(), dovrel_, fs::copy_options::overwrite_existing);
    }
  }
  ~LargeInstallation() { fs::remove_all(prefix_); }
  const fs::path& prefix() const { return prefix_; }
  const fs::path& dovrel() const { return dovrel_; }

 private:
  fs::path prefix_ = fs::temp_directory_path() / "norv-bench-large-installation";
  fs::path dovrel_;
};

// Peak memory of the command line stamping the large database, durably.
void BM_CliStampsTheLargeDatabase(benchmark::State& state) {
  const LargeInstallation installation;
  const std::string prefix = installation.prefix().string();
  run_tool(state, installation.dovrel(), [&](std::uint64_t iteration) {
    const std::string version = iteration % 2 == 0 ? "2.0" : "3.0";
    return std::vector<std::string>{NORV_CLI, "--wine-prefix", prefix, "--dovrel",
                                    "--set-version", version};
  });
}

// Arg 0: the small database; 1: the large one.
BENCHMARK(BM_JetCliTables)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MdbTables)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JetCliRowsOfControl)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MdbExportOfControl)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliStampsTheLargeDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AboveTheFloor)->Arg(0)->Arg(1)->Iterations(31)->Unit(benchmark::kMillisecond);

}  // namespace
