#include "tools/jet_cli/command.h"

#include <array>

namespace norv::jet_cli {

void define_info_command(CLI::App& sub);
void define_tables_command(CLI::App& sub);
void define_schema_command(CLI::App& sub);
void define_rows_command(CLI::App& sub);
void define_create_command(CLI::App& sub);
void define_query_command(CLI::App& sub);
void define_exec_command(CLI::App& sub);
void define_check_command(CLI::App& sub);

std::span<const Command> commands() {
  static const std::array table{
      Command{"info", "Format, page size, code page and page count of a database",
              define_info_command},
      Command{"tables", "The catalog: one line per entry, its kind, a tab, its name",
              define_tables_command},
      Command{"schema", "Columns and indexes of a table", define_schema_command},
      Command{"rows", "The rows of a table", define_rows_command},
      Command{"create", "A new database from a JSON description of its tables and rows",
              define_create_command},
      Command{"query", "Runs SELECT MAX(<column>) FROM <table> and prints the value",
              define_query_command},
      Command{"exec", "Executes UPDATE <table> SET <column> = <value>; prints the rows changed",
              define_exec_command},
      Command{"check", "Checks every index of every table against its rows and pages",
              define_check_command},
  };
  return table;
}

}  // namespace norv::jet_cli
