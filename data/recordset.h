#pragma once

// A client-side recordset over the result of a SELECT; the subset supported
// is SELECT MAX(<column>) FROM <table>, which yields exactly one row: the
// largest non-Null value in Jet's order for the column's type (see
// value_order.h), or Null for a table without rows or a column of Nulls.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "data/connection.h"
#include "jet/types/value.h"

namespace norv::data {

class Recordset {
 public:
  static constexpr int adUseClient = 3;

  // The cursor is always client-side (the whole result is read when the
  // recordset opens); the location is kept as the caller sets it.
  void set_cursor_location(int location) { cursor_location_ = location; }
  int cursor_location() const { return cursor_location_; }

  // Runs the query on the connection; the arguments after it are those of
  // ADO's Recordset.Open and are accepted as the caller passes them. Throws
  // InvalidArgumentError (syntax, unknown table or column, connection not
  // open) or NotSupportedError (other statements, columns without an order),
  // each naming the file.
  void open(std::string_view sql, std::shared_ptr<Connection> connection, int cursor_type,
            int lock_type, int options);
  bool is_open() const { return connection_ != nullptr; }

  // Exact: the result is read whole.
  std::int64_t record_count() const;

  // The value of field `index` in the current (first) row.
  const jet::Value& field_value(std::size_t index) const;

 private:
  void require_open() const;

  int cursor_location_ = 2;
  std::shared_ptr<Connection> connection_;
  std::vector<std::vector<jet::Value>> rows_;
};

}  // namespace norv::data
