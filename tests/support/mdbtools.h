#pragma once

// mdbtools as the independent reader: every file the engine writes is read
// back with it.

#include <filesystem>
#include <string>
#include <vector>

namespace norv::test {

struct CommandResult {
  int exit_status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs argv (no shell), capturing both streams as the program printed them
// (on Windows the line ends of text mode, "\r\n", come back as "\n"); exit
// status 127 when the program cannot be started.
CommandResult run_command(const std::vector<std::string>& argv);

bool mdbtools_available();

// mdb-tables -1: one table name per line (user tables; -S adds system ones).
std::vector<std::string> mdb_tables(const std::filesystem::path& db, bool with_system = false);

// mdb-export without a header, rows as lists of raw field texts; quotes
// removed, NULL as the empty text. Fails the test on a warning on stderr.
std::vector<std::vector<std::string>> mdb_export(const std::filesystem::path& db,
                                                 const std::string& table);

}  // namespace norv::test

#define NORV_REQUIRE_MDBTOOLS()                                                     \
  do {                                                                              \
    if (!::norv::test::mdbtools_available())                                        \
      GTEST_SKIP() << "mdbtools not installed (scripts/setup installs it)";         \
  } while (0)
