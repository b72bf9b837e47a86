#include "tests/support/written_rows.h"

#include <gtest/gtest.h>

#include "jet/database.h"
#include "platform/path_text.h"
#include "tests/support/mdbtools.h"

namespace norv::test {

std::vector<std::vector<std::string>> written_rows(const std::filesystem::path& db,
                                                   const std::string& table) {
  if (mdbtools_available()) return mdb_export(db, table);
  const jet::Database database = jet::Database::open(db);
  std::vector<std::vector<std::string>> rows;
  database.for_each_row(database.table(table), [&](const std::vector<jet::Value>& values) {
    std::vector<std::string>& row = rows.emplace_back();
    for (const jet::Value& value : values) row.push_back(jet::to_display_text(value));
  });
  const jet::IndexCheckReport report = database.check_indexes();
  EXPECT_TRUE(report.sound()) << platform::utf8_of(db) << ": table " << report.problems[0].table
                              << ", index " << report.problems[0].index << ": "
                              << report.problems[0].what;
  return rows;
}

}  // namespace norv::test
