// The Brenvik updater over many company databases: 2,000 present per-company
// databases (each stamped, durably, through the real access layer and
// engine), and the 32,768 numbers of a run where no per-company file exists.
// Paths go through a Wine prefix's drive mapping as in a real run.
// Each database is stamped durably: the engine syncs before it returns.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "jet/create/creator.h"
#include "platform/path_mapper.h"
#include "stamping/brenvik_databases.h"
#include "stamping/company_number.h"

namespace {

namespace fs = std::filesystem;
using namespace norv;

class BenchWindow : public stamping::UpdaterWindow {
 public:
  std::string version_text() const override { return "1.0"; }
  std::string year_text() const override { return ""; }
  std::string& strMsg() override { return msg_; }
  void clear() { msg_.clear(); }

 private:
  std::string msg_;
};

jet::TableSpec control_table() {
  jet::TableSpec table;
  table.name = "Control";
  table.columns = {{.name = "ID", .type = jet::ColumnType::long_integer},
                   {.name = "Version", .type = jet::ColumnType::text, .size = 50}};
  table.rows = {{jet::Value{std::int32_t{1}}, jet::Value{std::string("0.9")}}};
  return table;
}

// A prefix with C:\Brenvik\Company.mdb whose highest company number is
// `highest`, and BV files 0 .. companies - 1, all made by the engine.
class BrenvikPrefix {
 public:
  BrenvikPrefix(int highest, int companies) {
    const char* tmp = std::getenv("TMPDIR");
    root_ = fs::path(tmp != nullptr ? tmp : "/tmp") /
            ("norv-bench-" + std::to_string(highest) + "-" + std::to_string(companies));
    fs::remove_all(root_);
    const fs::path brenvik = root_ / "drive_c" / "Brenvik";
    fs::create_directories(brenvik);
    fs::create_directories(root_ / "dosdevices");
    fs::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
    paths_ = platform::make_wine_path_mapper(root_);

    jet::DatabaseSpec company;
    jet::TableSpec numbers;
    numbers.name = "Company";
    numbers.columns = {{.name = "CompanyNo", .type = jet::ColumnType::long_integer}};
    numbers.rows = {{jet::Value{std::int32_t{highest}}}};
    company.tables = {control_table(), numbers};
    jet::create_database(brenvik / "Company.mdb", company);

    jet::DatabaseSpec per_company;
    per_company.tables = {control_table()};
    for (int n = 0; n < companies; ++n) {
      jet::create_database(brenvik / stamping::company_database_name(static_cast<std::int16_t>(n)),
                           per_company);
    }
    // Dated back, as an installed suite's folder is: a folder that changed
    // in the last seconds has its listing taken anew for every lock-file
    // lookup.
    fs::last_write_time(brenvik, fs::file_time_type::clock::now() - std::chrono::hours(1));
  }
  ~BrenvikPrefix() { fs::remove_all(root_); }

  const platform::PathMapper& paths() const { return *paths_; }

 private:
  fs::path root_;
  std::unique_ptr<platform::PathMapper> paths_;
};

void run_brenvik(benchmark::State& state, int highest, int companies) {
  BrenvikPrefix prefix(highest, companies);
  BenchWindow window;
  const stamping::StampingContext context{window, prefix.paths()};
  for (auto _ : state) {
    window.clear();
    stamping::UpdateBrenvikDatabases(context, "C:\\Brenvik");
  }
  // Company.mdb and every present per-company database.
  state.counters["databases"] = companies + 1;
  if (companies > 0) {
    state.counters["time_per_database"] = benchmark::Counter(
        companies + 1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  }
}

void BM_BrenvikTwoThousandPresent(benchmark::State& state) { run_brenvik(state, 1999, 2000); }
void BM_BrenvikNoCompanyFiles(benchmark::State& state) { run_brenvik(state, 32767, 0); }

BENCHMARK(BM_BrenvikTwoThousandPresent)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_BrenvikNoCompanyFiles)->Unit(benchmark::kMillisecond);

}  // namespace
