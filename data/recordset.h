#pragma once

// A client-side recordset over the result of a SELECT; the subset supported
// is SELECT MAX(<column>) FROM <table>.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "data/connection.h"
#include "jet/value.h"

namespace norv::data {

class Recordset {
 public:
  static constexpr int adUseClient = 3;

  void set_cursor_location(int location) { cursor_location_ = location; }

  // Runs the query on the connection; the arguments after it are those of
  // ADO's Recordset.Open and are accepted as the caller passes them.
  void open(std::string_view sql, std::shared_ptr<Connection> connection, int cursor_type,
            int lock_type, int options);

  // Exact: the result is read whole.
  std::int64_t record_count() const;

  // The value of field `index` in the current (first) row.
  const jet::Value& field_value(std::size_t index) const;

 private:
  int cursor_location_ = 2;
  std::shared_ptr<Connection> connection_;
  std::vector<std::vector<jet::Value>> rows_;
};

}  // namespace norv::data
