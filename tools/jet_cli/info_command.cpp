#include <iostream>

#include <fmt/format.h>
#include <fmt/ostream.h>

#include "jet/database.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/file_connection.h"

namespace norv::jet_cli {

void define_info_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  sub.add_option("FILE", *file, "The database")->required();
  sub.callback([file] {
    const jet::Database db = open_database(*file);
    fmt::print(std::cout, "format: {}\n",
               db.format() == jet::FormatVersion::jet3 ? "Jet 3" : "Jet 4");
    fmt::print(std::cout, "page size: {}\n", db.page_size());
    fmt::print(std::cout, "code page: {}\n", db.code_page());
    fmt::print(std::cout, "pages: {}\n", db.page_count());
    if (db.encoding_key() != 0)
      fmt::print(std::cout, "encoded: yes (key {:#010x})\n", db.encoding_key());
    else
      fmt::print(std::cout, "encoded: no\n");
  });
}

}  // namespace norv::jet_cli
