// A sample of the damaged databases of the normal suite
// (damaged_databases.cpp) put through jet-cli as a Release build makes it
// (jet-cli-release), one child
// process per file, as a user's run meets them: some faults show only in
// that build (the code of two types of one name mixed up, a check compiled
// out). For each file, on a copy, "UPDATE Control SET Version = 1.5":
//  - no crash and no hang (the update has a time limit);
//  - refused: the file is byte for byte as it was and the message names it;
//  - done: every table that read before still reads, with the engine and
//    with mdbtools, and every row of Control holds the new value.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUpdate = "UPDATE Control SET Version = 1.5";

CommandResult jet_cli(std::vector<std::string> args) {
  args.insert(args.begin(), NORV_JET_CLI_RELEASE);
  return run_command(args);
}

// The update, which meets each file first: a run longer than this hangs,
// and timeout(1) reports 124; a child that died of a signal, 128 + it. (The
// reads after it go through the same code; the test's own time limit
// catches a hang there.)
CommandResult update(const fs::path& db) {
  return run_command({"timeout", "--kill-after=5", "60", NORV_JET_CLI_RELEASE, "exec",
                      db.string(), kUpdate});
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) out.push_back(line);
  return out;
}

// The user tables the engine lists ("TABLE\tname" lines of jet-cli tables).
std::vector<std::string> engine_tables(const fs::path& db) {
  std::vector<std::string> names;
  for (const std::string& line : lines(jet_cli({"tables", db.string()}).out))
    if (line.starts_with("TABLE\t")) names.push_back(line.substr(6));
  return names;
}

CommandResult engine_rows(const fs::path& db, const std::string& table) {
  return jet_cli({"rows", db.string(), table, "--json"});
}

// mdbtools itself loops on some damaged files, printing warnings without
// end: it gets a time limit and its output a cap (a file it cannot read in
// time counts as unreadable, and so does one it warns about).
CommandResult mdbtools(std::vector<std::string> args) {
  args.insert(args.begin(),
              {"bash", "-c",
               "set -o pipefail; timeout 20 \"$@\" 2> >(head -c 4096 >&2) | head -c 4000000",
               "bash"});
  return run_command(args);
}

CommandResult mdbtools_rows(const fs::path& db, const std::string& table) {
  return mdbtools({"mdb-export", "-H", "-Q", "-d", "\t", db.string(), table});
}

bool read_whole(const CommandResult& r) { return r.exit_status == 0 && r.err.empty(); }

bool is_control(const std::string& table) { return table == "Control"; }

// Control's Version, after its ID, in a tab-separated row.
std::string second_field(const std::string& row) {
  const std::size_t start = row.find('\t');
  if (start == std::string::npos) return {};
  return row.substr(start + 1, row.find('\t', start + 1) - start - 1);
}

enum class Outcome { refused, done, failed };

class Sweep {
 public:
  explicit Sweep(fs::path work) : copy_(std::move(work) / "sweep.mdb") {}

  Outcome run(const fs::path& damaged) {
    fs::copy_file(damaged, copy_, fs::copy_options::overwrite_existing);
    const std::string before = read_file(copy_);
    const CommandResult r = update(copy_);
    if (r.exit_status == 124 || r.exit_status == 137) return fail(damaged, "hangs");
    if (r.exit_status > 128 || r.exit_status < 0)
      return fail(damaged, "crashes (status " + std::to_string(r.exit_status) + ")");
    if (r.exit_status == 3) return fail(damaged, "breaks an invariant of the engine: " + r.err);
    if (r.exit_status != 0) {
      if (read_file(copy_) != before) return fail(damaged, "refused, but the file changed");
      if (r.err.find(copy_.string()) == std::string::npos)
        return fail(damaged, "refused without naming the file: " + r.err);
      return Outcome::refused;
    }
    return check_done(damaged);
  }

 private:
  // A table that did not read whole before (the damage is elsewhere in the
  // file than the update) need not read after; it is only read again, on
  // the damaged file, when it fails.
  Outcome check_done(const fs::path& damaged) {
    for (const std::string& table : engine_tables(copy_)) {
      const CommandResult rows = engine_rows(copy_, table);
      if (!read_whole(rows)) {
        if (read_whole(engine_rows(damaged, table)))
          return fail(damaged, "updated, then the engine cannot read table " + table);
        continue;
      }
      if (!is_control(table)) continue;
      for (const std::string& row : lines(rows.out))
        if (row.find("\"Version\":\"1.5\"") == std::string::npos)
          return fail(damaged, "updated, but the engine reads the row " + row);
    }
    for (const std::string& table : lines(mdbtools({"mdb-tables", "-1", copy_.string()}).out)) {
      const CommandResult rows = mdbtools_rows(copy_, table);
      if (!read_whole(rows)) {
        if (read_whole(mdbtools_rows(damaged, table)))
          return fail(damaged, "updated, then mdbtools cannot read table " + table);
        continue;
      }
      if (!is_control(table)) continue;
      for (const std::string& row : lines(rows.out))
        if (second_field(row) != "1.5")
          return fail(damaged, "updated, but mdbtools reads the row " + row);
    }
    return Outcome::done;
  }

  Outcome fail(const fs::path& damaged, const std::string& what) {
    ADD_FAILURE() << damaged.filename().string() << ": " << what;
    return Outcome::failed;
  }

  fs::path copy_;
};

// Every kSampleStride-th file in name order: each kind of damage of each
// database is among them, and the sweep stays a matter of a minute (several
// child processes per file); fuzz_update_replay takes every file in-process.
constexpr std::size_t kSampleStride = 7;

TEST(ReleaseDamageSweep, NoDamagedDatabaseCrashesHangsOrIsHalfUpdated) {
  NORV_REQUIRE_MDBTOOLS();
  std::vector<fs::path> all;
  for (const auto& entry : fs::directory_iterator(NORV_DAMAGED_DATABASES))
    if (entry.path().extension() == ".mdb") all.push_back(entry.path());
  std::sort(all.begin(), all.end());
  ASSERT_GT(all.size(), 1000u) << "the damaged databases were not made";
  std::vector<fs::path> files;
  for (std::size_t i = 0; i < all.size(); i += kSampleStride) files.push_back(all[i]);

  TempDir dir;
  Sweep sweep(dir.path());
  std::map<Outcome, std::size_t> outcomes;
  for (const fs::path& file : files) ++outcomes[sweep.run(file)];
  std::printf("%zu damaged databases: %zu refused, %zu updated, %zu failed\n", files.size(),
              outcomes[Outcome::refused], outcomes[Outcome::done], outcomes[Outcome::failed]);
  EXPECT_GT(outcomes[Outcome::refused], 0u);
  EXPECT_GT(outcomes[Outcome::done], 0u);
}

}  // namespace
}  // namespace norv::test
