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
  explicit Connection(const platform::PathMapper& paths);

  void set_connection_string(std::string text);
  const std::string& connection_string() const { return connection_string_; }

  // Parses the connection string and opens the database. Throws
  // InvalidArgumentError (string), NotSupportedError (provider, format) or
  // the engine's errors.
  void open();
  bool is_open() const { return database_.has_value(); }

  // Executes one statement (UPDATE <table> SET <column> = <literal>);
  // returns the number of rows changed.
  std::uint64_t execute(std::string_view statement);

  jet::Database& database();

 private:
  const platform::PathMapper& paths_;
  std::string connection_string_;
  std::optional<jet::Database> database_;
};

}  // namespace norv::data
