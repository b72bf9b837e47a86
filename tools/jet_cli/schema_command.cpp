#include <iostream>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <fmt/ostream.h>

#include "jet/database.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/file_connection.h"

namespace norv::jet_cli {

namespace {

std::string type_text(const jet::ColumnInfo& column) {
  const std::string_view name = jet::column_type_name(column.type);
  if (column.type == jet::ColumnType::text) return fmt::format("{}({})", name, column.max_characters);
  if (column.type == jet::ColumnType::decimal)
    return fmt::format("{}({},{})", name, column.precision, column.scale);
  return std::string(name);
}

std::string column_notes(const jet::ColumnInfo& column) {
  std::vector<std::string_view> notes;
  if (column.autonumber) notes.push_back("autonumber");
  if (column.required) notes.push_back("required");
  if (column.has_validation_rule) notes.push_back("validation rule");
  if (column.compressed_unicode) notes.push_back("unicode compression");
  return fmt::format("{}", fmt::join(notes, ", "));
}

void print_schema(const jet::TableInfo& table) {
  fmt::print(std::cout, "table {}\n", table.name);
  for (const jet::ColumnInfo& column : table.columns)
    fmt::print(std::cout, "  column {}\t{}\t{}\n", column.name, type_text(column),
               column_notes(column));
  for (const jet::IndexInfo& index : table.indexes) {
    std::string kind = index.primary_key ? "primary key" : index.unique ? "unique" : "index";
    fmt::print(std::cout, "  {} {}\t({})\n", kind, index.name, fmt::join(index.columns, ", "));
  }
}

}  // namespace

void define_schema_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  auto table = std::make_shared<std::string>();
  sub.add_option("FILE", *file, "The database")->required();
  sub.add_option("TABLE", *table, "A local table, any case")->required();
  sub.callback([file, table] { print_schema(open_database(*file).table(*table)); });
}

}  // namespace norv::jet_cli
