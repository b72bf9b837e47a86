#include <iostream>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <fmt/ostream.h>
#include <nlohmann/json.hpp>

#include "jet/database.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/file_connection.h"
#include "tools/jet_cli/json_value.h"

namespace norv::jet_cli {

namespace {

struct RowsOptions {
  std::string file;
  std::string table;
  bool json = false;
};

void print_rows(const RowsOptions& options) {
  const jet::Database db = open_database(options.file);
  const jet::TableInfo table = db.table(options.table);
  if (!options.json) {
    std::vector<std::string_view> names;
    for (const auto& column : table.columns) names.push_back(column.name);
    fmt::print(std::cout, "{}\n", fmt::join(names, "\t"));
  }
  db.for_each_row(table, [&](const std::vector<jet::Value>& values) {
    if (options.json) {
      nlohmann::ordered_json row = nlohmann::ordered_json::object();
      for (std::size_t i = 0; i < values.size(); ++i) row[table.columns[i].name] = to_json(values[i]);
      fmt::print(std::cout, "{}\n",
                 row.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    } else {
      std::vector<std::string> texts;
      for (const jet::Value& value : values) texts.push_back(jet::to_display_text(value));
      fmt::print(std::cout, "{}\n", fmt::join(texts, "\t"));
    }
  });
}

}  // namespace

void define_rows_command(CLI::App& sub) {
  auto options = std::make_shared<RowsOptions>();
  sub.add_option("FILE", options->file, "The database")->required();
  sub.add_option("TABLE", options->table, "A local table, any case")->required();
  sub.add_flag("--json", options->json, "One JSON object per row, column name to value");
  sub.callback([options] { print_rows(*options); });
}

}  // namespace norv::jet_cli
