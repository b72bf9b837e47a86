#include <iostream>

#include <fmt/format.h>
#include <fmt/ostream.h>

#include "tools/jet_cli/command.h"
#include "tools/jet_cli/file_connection.h"

namespace norv::jet_cli {

void define_exec_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  auto sql = std::make_shared<std::string>();
  sub.add_option("FILE", *file, "The database")->required();
  sub.add_option("SQL", *sql, "UPDATE <table> SET <column> = <value>")->required();
  sub.callback(
      [file, sql] { fmt::print(std::cout, "{}\n", open_file_connection(*file)->execute(*sql)); });
}

}  // namespace norv::jet_cli
