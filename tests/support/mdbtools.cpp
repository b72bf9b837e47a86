#include "tests/support/mdbtools.h"

#include <gtest/gtest.h>

#include "tests/support/host_command.h"

namespace norv::test {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == separator) {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

}  // namespace

bool mdbtools_available() {
  static const bool available = run_host_command({"mdb-ver", "-M"}).exit_status == 0;
  return available;
}

std::vector<std::string> mdb_tables(const std::filesystem::path& db, bool with_system) {
  std::vector<std::string> argv{"mdb-tables", "-1"};
  if (with_system) argv.push_back("-S");
  argv.push_back(host_path(db));
  CommandResult r = run_host_command(argv);
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "mdb-tables warned on " << db;
  return split(r.out, '\n');
}

std::vector<std::vector<std::string>> mdb_export(const std::filesystem::path& db,
                                                 const std::string& table) {
  // Unit and record separators cannot occur in the test data, so no quoting
  // is needed to split the output.
  CommandResult r = run_host_command({"mdb-export", "-H", "-Q", "-d", "\x1f", "-R", "\x1e", "-D",
                                 "%Y-%m-%d", "-T", "%Y-%m-%dT%H:%M:%S", host_path(db), table});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "mdb-export warned on " << db << " table " << table;
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : split(r.out, '\x1e')) {
    std::vector<std::string> fields;
    std::string current;
    for (char c : line) {
      if (c == '\x1f') {
        fields.push_back(current);
        current.clear();
      } else {
        current += c;
      }
    }
    fields.push_back(current);
    rows.push_back(fields);
  }
  return rows;
}

}  // namespace norv::test
