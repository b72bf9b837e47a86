#include "tools/jet_cli/file_connection.h"

#include <filesystem>
#include <iostream>

#include <fmt/format.h>
#include <fmt/ostream.h>

#include "platform/path_mapper.h"
#include "platform/path_text.h"

namespace norv::jet_cli {
namespace {

class NativePaths : public platform::PathMapper {
 public:
  std::filesystem::path to_native(std::string_view path) const override {
    std::string native(path);
    if constexpr (std::filesystem::path::preferred_separator == '/')
      for (char& c : native)
        if (c == '\\') c = '/';
    return platform::path_from_utf8(native);
  }
};

void say_if_restored(const jet::Database& db) {
  if (db.restored_interrupted_update())
    fmt::print(std::cerr, "{}: restored from an interrupted update\n",
               platform::utf8_of(db.path()));
}

}  // namespace

std::shared_ptr<data::Connection> open_file_connection(const std::string& file) {
  static const NativePaths paths;
  auto connection = std::make_shared<data::Connection>(paths);
  connection->set_connection_string("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=" + file);
  connection->open();
  say_if_restored(connection->database());
  return connection;
}

jet::Database open_database(const std::string& file) {
  jet::Database db = jet::Database::open(platform::path_from_utf8(file));
  say_if_restored(db);
  return db;
}

}  // namespace norv::jet_cli
