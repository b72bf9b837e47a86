#include "data/recordset.h"

#include <optional>
#include <string>

#include "data/sql_statement.h"
#include "data/table_target.h"
#include "data/value_order.h"
#include "platform/error.h"

namespace norv::data {
namespace {

std::size_t column_position(const jet::TableInfo& table, const jet::ColumnInfo& column) {
  return static_cast<std::size_t>(&column - table.columns.data());
}

// Through an index on the column when one can give it (numbers and
// dates), else by reading every row.
jet::Value max_of_column(const TableTarget& target, const jet::ColumnInfo& column) {
  if (std::optional<jet::Value> max = target.database().max_through_index(target.table(), column))
    return *max;
  std::size_t position = column_position(target.table(), column);
  jet::Value max = jet::Null{};
  target.database().for_each_row(target.table(), [&](const std::vector<jet::Value>& row) {
    const jet::Value& value = row.at(position);
    if (jet::is_null(value)) return;
    if (jet::is_null(max) || compare_values(value, max) > 0) max = value;
  });
  return max;
}

}  // namespace

void Recordset::open(std::string_view sql, std::shared_ptr<Connection> connection,
                     int /*cursor_type*/, int /*lock_type*/, int /*options*/) {
  if (!connection)
    throw InvalidArgumentError("The query \"" + excerpt(sql) +
                               "\" was given no connection; open a connection first.");
  jet::Database& db = connection->database();
  std::string where = db.path().string();
  Statement parsed = parse_statement(sql, where);
  const auto* select = std::get_if<SelectMaxStatement>(&parsed);
  if (select == nullptr)
    throw NotSupportedError("The statement \"" + excerpt(sql) + "\" for " + where +
                            " returns no rows; execute it on the connection instead.");

  TableTarget target = TableTarget::resolve(db, connection->data_source(), connection->paths(),
                                            {select->table, select->column, TableUse::read});
  const jet::ColumnInfo& column = target.column(select->column);
  if (!is_ordered_type(column.type))
    throw NotSupportedError("MAX(" + column.name + ") of " + target.description() +
                            " cannot be read: this tool compares no " +
                            std::string(jet::column_type_name(column.type)) + " values.");
  rows_ = {{max_of_column(target, column)}};
  connection_ = std::move(connection);
}

void Recordset::require_open() const {
  if (!is_open())
    throw InvalidArgumentError("The recordset is not open; open it with a query first.");
}

std::int64_t Recordset::record_count() const {
  require_open();
  return static_cast<std::int64_t>(rows_.size());
}

const jet::Value& Recordset::field_value(std::size_t index) const {
  require_open();
  if (rows_.empty()) throw InvalidArgumentError("The recordset has no current record.");
  const std::vector<jet::Value>& row = rows_.front();
  if (index >= row.size())
    throw InvalidArgumentError("The recordset has " + std::to_string(row.size()) +
                               " field(s); there is no field " + std::to_string(index) + ".");
  return row[index];
}

}  // namespace norv::data
