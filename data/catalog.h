#pragma once

// The catalog bound to an open connection: the names its Tables collection
// lists (local, system and linked tables, and saved select queries).

#include <memory>
#include <string>
#include <vector>

#include "data/connection.h"

namespace norv::data {

class Catalog {
 public:
  // Holds the connection until the catalog itself goes.
  void set_active_connection(std::shared_ptr<Connection> connection);

  // In the collection's own order. Throws when no connection is set.
  std::vector<std::string> table_names() const;

 private:
  std::shared_ptr<Connection> connection_;
};

}  // namespace norv::data
