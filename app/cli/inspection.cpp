#include "app/cli/inspection.h"

#include <algorithm>

#include "data/connection.h"
#include "platform/error.h"
#include "stamping/table_exists.h"

namespace norv::app::cli {

void InspectionObserver::file_tested(const std::string& path, bool present) {
  if (next_ != nullptr) next_->file_tested(path, present);
  if (!present && !keep_absent_) return;
  InspectedFile file;
  file.module = module_;
  file.path = path;
  file.native = paths_.to_native(path);
  file.present = present;
  files_.push_back(std::move(file));
}

void InspectionObserver::table_looked_up(const std::string& path, const std::string& table,
                                         bool found, data::Connection& connection) {
  InspectedFile& file = files_.back();
  file.table = table;
  file.table_found = found;
  if (found) {
    try {
      file.versions = read_version_values(connection, table);
    } catch (const std::exception& error) {
      file.note = error.what();
    }
  }
  if (next_ != nullptr) next_->table_looked_up(path, table, found, connection);
}

std::vector<std::string> read_version_values(data::Connection& connection,
                                             const std::string& table) {
  const jet::Database& database = connection.database();
  jet::TableInfo info = database.table(table);
  auto column = std::find_if(info.columns.begin(), info.columns.end(), [](const auto& c) {
    return stamping::upper_case_name(c.name) == "VERSION";
  });
  if (column == info.columns.end()) {
    throw InvalidArgumentError("The table " + info.name + " of " + database.path().string() +
                               " has no Version column.");
  }
  const auto index = static_cast<std::size_t>(column - info.columns.begin());
  std::vector<std::string> versions;
  database.for_each_row(info, [&](const std::vector<jet::Value>& row) {
    versions.push_back(jet::is_null(row[index]) ? "Null" : jet::to_display_text(row[index]));
  });
  return versions;
}

}  // namespace norv::app::cli
