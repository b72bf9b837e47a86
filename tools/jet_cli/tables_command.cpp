#include <iostream>

#include <fmt/format.h>
#include <fmt/ostream.h>

#include "jet/database.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/file_connection.h"

namespace norv::jet_cli {

void define_tables_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  sub.add_option("FILE", *file, "The database")->required();
  sub.callback([file] {
    const jet::Database db = open_database(*file);
    for (const jet::CatalogEntry& entry : db.catalog())
      fmt::print(std::cout, "{}\t{}\n", jet::catalog_kind_name(entry.kind), entry.name);
  });
}

}  // namespace norv::jet_cli
