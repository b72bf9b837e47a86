#include <iostream>

#include <fmt/format.h>
#include <fmt/ostream.h>

#include "jet/database.h"
#include "platform/error.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/file_connection.h"

namespace norv::jet_cli {

namespace {

std::string place(const std::string& file, const jet::IndexProblem& problem) {
  if (problem.table.empty()) return file;
  if (problem.index.empty()) return fmt::format("{}: table {}", file, problem.table);
  return fmt::format("{}: table {}, index {}", file, problem.table, problem.index);
}

}  // namespace

void define_check_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  sub.add_option("FILE", *file, "The database")->required();
  sub.callback([file] {
    const jet::Database db = open_database(*file);
    const jet::IndexCheckReport report = db.check_indexes();
    for (const std::string& index : report.keys_not_recomputed)
      fmt::print(std::cout,
                 "{}: table {}: keys not recomputed: its text uses a sort order other than "
                 "General\n",
                 *file, index);
    for (const jet::IndexProblem& problem : report.problems)
      fmt::print(std::cout, "{}: {}\n", place(*file, problem), problem.what);
    const std::string summary =
        fmt::format("{} indexes of {} tables, {} entries for {} rows", report.indexes,
                    report.tables, report.entries, report.rows);
    if (!report.sound())
      throw CorruptDatabaseError(fmt::format(
          "{}: {} problems in the indexes ({}); let Access compact and repair the database, "
          "and do not update it before",
          *file, report.problems.size(), summary));
    fmt::print(std::cout, "{}: {}: no problem\n", *file, summary);
  });
}

}  // namespace norv::jet_cli
