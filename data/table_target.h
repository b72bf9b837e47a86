#pragma once

// The table a statement names, looked up in the database's catalog without
// regard to case: the one place a statement's table and column names are
// resolved; the engine is handed the definitions found here. A linked Jet
// table leads to its source table in the source database, which this object
// then holds open. ODBC links, saved queries
// and (for writing) system tables are refused: they hold no rows this tool
// may change.

#include <memory>
#include <string>
#include <string_view>

#include "jet/database.h"
#include "platform/path_mapper.h"

namespace norv::data {

enum class TableUse { read, update };

// How the statement refers to the table, for the messages of failures.
struct TableRequest {
  std::string_view name;
  std::string_view column;
  TableUse use = TableUse::read;
};

class TableTarget {
 public:
  // `database` must outlive the target; `windows_path` is the path it was
  // opened by, against which a link's relative path is read. Throws
  // InvalidArgumentError for a table that does not exist and
  // NotSupportedError for one that cannot be used, naming table, column and
  // file.
  static TableTarget resolve(jet::Database& database, std::string_view windows_path,
                             const platform::PathMapper& paths, const TableRequest& request);

  TableTarget(TableTarget&&) noexcept = default;
  TableTarget& operator=(TableTarget&&) noexcept = default;
  ~TableTarget();

  jet::Database& database() const { return *database_; }
  const jet::TableInfo& table() const { return table_; }

  // The column by name, without regard to case; InvalidArgumentError naming
  // the column, the table and the file when there is none.
  const jet::ColumnInfo& column(std::string_view name) const;

  // "the table Control in /data/x.mdb", with the link it was reached through.
  const std::string& description() const { return description_; }

 private:
  TableTarget(std::unique_ptr<jet::Database> linked, jet::Database& database, jet::TableInfo table,
              std::string description);

  std::unique_ptr<jet::Database> linked_;  // the source database of a link
  jet::Database* database_;
  jet::TableInfo table_;
  std::string description_;
};

}  // namespace norv::data
