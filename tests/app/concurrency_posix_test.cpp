// The command line against other processes on the same database: a
// program holding the database open through its .ldb lock file, and two
// runs of the tool at once. The one refused says so, naming the file; no
// write interleaves with another; nothing is lost.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "jet/database.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace norv::test {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::AnyOf;
using ::testing::HasSubstr;

// A child process started with argv, its output going to files.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const fs::path& out, const fs::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      wait();
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  void stop() {
    ::kill(pid_, SIGTERM);
    wait();
  }

 private:
  pid_t pid_ = -1;
};

class Concurrency : public ::testing::Test {
 protected:
  void SetUp() override {
    NORV_REQUIRE_MDBTOOLS();
    ASSERT_EQ(run_command({NORV_CLI, "--create-demo", prefix_.string()}).exit_status, 0);
    for (const auto& entry : fs::recursive_directory_iterator(prefix_ / "drive_c")) {
      if (entry.path().extension() == ".mdb") databases_.push_back(entry.path());
      if (entry.path().filename() == "Dovrel.mdb") dovrel_ = entry.path();
    }
    ASSERT_FALSE(dovrel_.empty());
  }

  std::vector<std::string> dovrel_run(const std::string& version) const {
    return {NORV_CLI, "--wine-prefix", prefix_.string(), "--dovrel", "--set-version", version};
  }
  // The Version of every Control row, read with mdbtools.
  static std::vector<std::string> versions(const fs::path& db) {
    std::vector<std::string> values;
    for (const auto& row : mdb_export(db, "Control")) values.push_back(row.at(1));
    return values;
  }

  // A run either went through or said which database the other run held
  // (Fendrel.mdb, holding the Dovrel control table too, or Dovrel.mdb).
  void expect_ran_or_refused_clearly(int status, const std::string& run) const {
    if (status == 0) return;
    EXPECT_THAT(read_file(dir_ / (run + ".out")) + read_file(dir_ / (run + ".err")),
                AllOf(HasSubstr(".mdb is being updated by another run"), HasSubstr("run again")))
        << "run " << run << " ended with status " << status;
  }

  TempDir dir_;
  fs::path prefix_ = dir_ / "prefix";
  fs::path dovrel_;
  std::vector<fs::path> databases_;
};

void wait_for(const fs::path& file) {
  for (int i = 0; i < 500 && !fs::exists(file); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(fs::exists(file)) << "the helper did not start";
}

TEST_F(Concurrency, DatabaseOpenInAnotherProgramIsRefusedAndLeftAsItWas) {
  const std::string before = read_file(dovrel_);
  {
    Child holder({NORV_LOCK_FILE_HOLDER, dovrel_.string(), (dir_ / "ready").string()},
                 dir_ / "holder.out", dir_ / "holder.err");
    wait_for(dir_ / "ready");
    CommandResult refused = run_command(dovrel_run("4.1"));
    EXPECT_NE(refused.exit_status, 0);
    EXPECT_THAT(refused.out + refused.err,
                AllOf(HasSubstr("Dovrel.mdb is open in another program"), HasSubstr("run again")));
    EXPECT_EQ(read_file(dovrel_), before) << "a refused update changed the file";
    holder.stop();
  }
  // The program closed the database; its lock file stays behind, unheld.
  CommandResult after = run_command(dovrel_run("4.1"));
  EXPECT_EQ(after.exit_status, 0) << after.out << after.err;
  for (const std::string& v : versions(dovrel_)) EXPECT_EQ(v, "4.1");
}

TEST_F(Concurrency, TwoRunsAtOnceNeverInterleaveTheirWrites) {
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Versions a numeric literal keeps as typed (1.0 would be stored "1").
    const std::string first = std::to_string(round + 1) + ".1";
    const std::string second = std::to_string(round + 1) + ".2";
    Child a(dovrel_run(first), dir_ / "a.out", dir_ / "a.err");
    Child b(dovrel_run(second), dir_ / "b.out", dir_ / "b.err");
    const int status_a = a.wait();
    const int status_b = b.wait();
    EXPECT_TRUE(status_a == 0 || status_b == 0) << "both runs refused";
    expect_ran_or_refused_clearly(status_a, "a");
    expect_ran_or_refused_clearly(status_b, "b");
    for (const std::string& v : versions(dovrel_)) EXPECT_THAT(v, AnyOf(first, second));
    // The engine reads the whole file too, and every other database is intact.
    for (const fs::path& db : databases_) {
      jet::Database database = jet::Database::open(db);
      for (const jet::CatalogEntry& entry : database.catalog()) {
        if (entry.kind != jet::CatalogKind::table) continue;
        EXPECT_NO_THROW(database.for_each_row(database.table(entry.name), [](const auto&) {}))
            << db << " " << entry.name;
      }
    }
  }
}

}  // namespace
}  // namespace norv::test
