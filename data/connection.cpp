#include "data/connection.h"

#include "data/connection_string.h"
#include "data/literal_conversion.h"
#include "data/sql_statement.h"
#include "data/table_target.h"
#include "platform/error.h"

namespace norv::data {

Connection::Connection(const platform::PathMapper& paths) : paths_(paths) {}

void Connection::set_connection_string(std::string text) { connection_string_ = std::move(text); }

void Connection::open() {
  if (is_open())
    throw InvalidArgumentError("The connection to " + data_source_ +
                               " is already open; use a new connection for another database.");
  ConnectionString parsed = parse_connection_string(connection_string_);
  database_.emplace(jet::Database::open(paths_.to_native(parsed.data_source)));
  data_source_ = std::move(parsed.data_source);
}

jet::Database& Connection::database() {
  if (!is_open())
    throw InvalidArgumentError("The connection is not open (connection string \"" +
                               excerpt(connection_string_) + "\"); open it first.");
  return *database_;
}

std::uint64_t Connection::execute(std::string_view statement) { return run(statement, true); }

std::uint64_t Connection::check(std::string_view statement) { return run(statement, false); }

std::uint64_t Connection::run(std::string_view statement, bool write) {
  jet::Database& db = database();
  std::string where = db.path().string();
  Statement parsed = parse_statement(statement, where);
  const auto* update = std::get_if<UpdateStatement>(&parsed);
  if (update == nullptr)
    throw NotSupportedError("The statement \"" + excerpt(statement) + "\" for " + where +
                            " returns rows; open a recordset with it instead of executing it.");

  TableTarget target = TableTarget::resolve(db, data_source_, paths_,
                                            {update->table, update->column, TableUse::update});
  const jet::ColumnInfo& column = target.column(update->column);
  std::string target_file = target.database().path().string();
  jet::Value value = convert_literal(update->value, {column, target.table().name, target_file});
  jet::Database& source = target.database();
  return write ? source.update_column(target.table(), column, value)
               : source.plan_update_column(target.table(), column, value);
}

}  // namespace norv::data
