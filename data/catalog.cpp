#include "data/catalog.h"

#include "platform/error.h"

namespace norv::data {

void Catalog::set_active_connection(std::shared_ptr<Connection> connection) {
  connection_ = std::move(connection);
}

std::vector<std::string> Catalog::table_names() const {
  if (!connection_)
    throw InvalidArgumentError(
        "The catalog has no active connection; set it to an open connection first.");
  std::vector<std::string> names;
  for (const jet::CatalogEntry& entry : connection_->database().catalog())
    names.push_back(entry.name);
  return names;
}

}  // namespace norv::data
