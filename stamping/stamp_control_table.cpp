#include "stamping/stamp_control_table.h"

#include <optional>

#include "data/catalog.h"
#include "stamping/folder_snapshot.h"
#include "stamping/table_exists.h"

namespace norv::stamping {

namespace {

bool file_exists(const StampingContext& context, const std::string& path) {
  bool present = !(context.snapshot != nullptr && context.snapshot->certainly_absent(path)) &&
                 platform::is_ordinary_file(context.paths.to_native(path));
  if (context.observer != nullptr) context.observer->file_tested(path, present);
  return present;
}

std::shared_ptr<data::Connection> open_connection(const StampingContext& context,
                                                  const std::string& path,
                                                  std::string_view prefix) {
  auto connection = std::make_shared<data::Connection>(context.paths);
  connection->set_connection_string(std::string(prefix) + path);
  connection->open();
  return connection;
}

// Binds the catalog, looks the table up and, when it is there, executes the
// statement on the connection (not through the catalog); a dry run checks
// it instead, so that it stops where the run would.
void stamp_if_table_exists(const StampingContext& context, const std::string& path,
                           const std::string& table, data::Catalog& catalog,
                           const std::shared_ptr<data::Connection>& connection) {
  catalog.set_active_connection(connection);
  bool found = TableExists(catalog, table);
  if (context.observer != nullptr)
    context.observer->table_looked_up(path, table, found, *connection);
  if (!found) return;
  const std::string statement = update_statement_lead(table) + context.window.version_text();
  if (context.dry_run)
    connection->check(statement);
  else
    connection->execute(statement);
}

}  // namespace

std::string update_statement_lead(const std::string& table) {
  return "UPDATE " + table + " SET Version = ";
}

bool StampControlTable(const StampingContext& context, const std::string& path,
                       const std::string& table, std::string_view prefix) {
  if (!file_exists(context, path)) return false;
  // Declared before the connection so that it is released after it, on
  // the normal way out and when an error unwinds: the catalog holds the
  // connection as its active one, so the database closes with the catalog.
  std::optional<data::Catalog> catalog;
  auto connection = open_connection(context, path, prefix);
  stamp_if_table_exists(context, path, table, catalog.emplace(), connection);
  connection.reset();
  catalog.reset();
  return true;
}

std::shared_ptr<data::Connection> StampControlTableKeepingConnection(const StampingContext& context,
                                                                     const std::string& path,
                                                                     const std::string& table,
                                                                     std::string_view prefix) {
  if (!file_exists(context, path)) return nullptr;
  auto connection = open_connection(context, path, prefix);
  {
    data::Catalog catalog;
    stamp_if_table_exists(context, path, table, catalog, connection);
  }
  return connection;
}

}  // namespace norv::stamping
