#pragma once

// A connection to one Jet database, opened from a connection string such as
// "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=C:\Norv\Data\Fendrel.mdb".
// The path after "Data Source=" is a Windows path; it becomes a native path
// through the PathMapper when the connection opens. The database closes when
// the last reference to the connection goes (catalogs and recordsets keep
// theirs, as their active connection).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "jet/database.h"
#include "platform/path_mapper.h"

namespace norv::data {

class Connection {
 public:
  // `paths` must outlive the connection.
  explicit Connection(const platform::PathMapper& paths);

  void set_connection_string(std::string text);
  const std::string& connection_string() const { return connection_string_; }

  // Parses the connection string and opens the database. Throws
  // InvalidArgumentError (string, or a connection already open),
  // NotSupportedError (provider, format) or the engine's errors.
  void open();
  bool is_open() const { return database_.has_value(); }

  // Executes one statement (UPDATE <table> SET <column> = <literal>, no
  // WHERE): every row of the table gets the literal, converted as Jet
  // converts it to the column's type; a linked table is updated in its
  // source database. Everything is parsed, looked up and converted before
  // the engine writes, so a failing statement changes nothing. Returns the
  // number of rows changed.
  std::uint64_t execute(std::string_view statement);

  // The statement as execute() would run it, every check made, nothing
  // written (jet::Database::plan_update_column): returns the rows it would
  // change or throws what execute() would throw.
  std::uint64_t check(std::string_view statement);

  // InvalidArgumentError while the connection is not open.
  jet::Database& database();

  // The Windows path the connection was opened with (empty until open()).
  const std::string& data_source() const { return data_source_; }
  const platform::PathMapper& paths() const { return paths_; }

 private:
  std::uint64_t run(std::string_view statement, bool write);

  const platform::PathMapper& paths_;
  std::string connection_string_;
  std::string data_source_;
  std::optional<jet::Database> database_;
};

}  // namespace norv::data
