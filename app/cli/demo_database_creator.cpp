// Demo databases made by the engine's creator: Jet 4 files whose Control
// table (ID Long primary key, Version Text(50)) holds one row at 0.9.

#include "app/cli/demo_installation.h"
#include "jet/create/creator.h"

namespace norv::app::cli {

namespace {

jet::TableSpec control_table(const std::string& name) {
  jet::TableSpec table;
  table.name = name;
  table.columns = {{.name = "ID", .type = jet::ColumnType::long_integer},
                   {.name = "Version", .type = jet::ColumnType::text, .size = 50}};
  table.indexes = {{.name = "PrimaryKey", .columns = {"ID"}, .primary_key = true}};
  table.rows = {{jet::Value{std::int32_t{1}}, jet::Value{std::string("0.9")}}};
  return table;
}

jet::TableSpec company_table(const std::vector<int>& numbers) {
  jet::TableSpec table;
  table.name = "Company";
  table.columns = {{.name = "CompanyNo", .type = jet::ColumnType::long_integer},
                   {.name = "Name", .type = jet::ColumnType::text, .size = 100}};
  table.indexes = {{.name = "PrimaryKey", .columns = {"CompanyNo"}, .primary_key = true}};
  for (int number : numbers) {
    table.rows.push_back({jet::Value{std::int32_t{number}},
                          jet::Value{"Company " + std::to_string(number)}});
  }
  return table;
}

}  // namespace

void write_demo_database(const DemoDatabase& database) {
  jet::DatabaseSpec spec;
  spec.tables.push_back(control_table("Control"));
  if (database.dovrel_control) spec.tables.push_back(control_table("DovrelControl"));
  if (!database.company_numbers.empty())
    spec.tables.push_back(company_table(database.company_numbers));
  jet::create_database(database.path, spec);
}

}  // namespace norv::app::cli
