#include <fmt/format.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "jet/creator.h"
#include "platform/error.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/database_description.h"

namespace norv::jet_cli {

namespace {

nlohmann::json read_description(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw IoError(fmt::format("{}: cannot read the description", path));
  try {
    return nlohmann::json::parse(in);
  } catch (const nlohmann::json::parse_error& e) {
    throw InvalidArgumentError(fmt::format("{}: not valid JSON: {}", path, e.what()));
  }
}

}  // namespace

void define_create_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  auto description = std::make_shared<std::string>();
  auto replace = std::make_shared<bool>(false);
  sub.add_option("FILE", *file, "The database to create")->required();
  sub.add_option("--from", *description, "The JSON description of its tables and rows")
      ->required();
  sub.add_flag("--replace", *replace, "Replace FILE if it exists");
  sub.callback([file, description, replace] {
    jet::DatabaseSpec spec = parse_database_description(read_description(*description), *description);
    jet::create_database(*file, spec, {.overwrite = *replace});
  });
}

}  // namespace norv::jet_cli
