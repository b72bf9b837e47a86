#include <iostream>

#include <fmt/format.h>
#include <fmt/ostream.h>

#include "data/recordset.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/file_connection.h"

namespace norv::jet_cli {

void define_query_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  auto sql = std::make_shared<std::string>();
  sub.add_option("FILE", *file, "The database")->required();
  sub.add_option("SQL", *sql, "SELECT MAX(<column>) FROM <table>")->required();
  sub.callback([file, sql] {
    data::Recordset recordset;
    recordset.set_cursor_location(data::Recordset::adUseClient);
    recordset.open(*sql, open_file_connection(*file), 2, 1, -1);
    if (recordset.record_count() > 0)
      fmt::print(std::cout, "{}\n", jet::to_display_text(recordset.field_value(0)));
  });
}

}  // namespace norv::jet_cli
