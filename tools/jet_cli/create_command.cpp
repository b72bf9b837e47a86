#include <fmt/format.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "jet/create/creator.h"
#include "platform/error.h"
#include "platform/path_text.h"
#include "tools/jet_cli/command.h"
#include "tools/jet_cli/database_description.h"

namespace norv::jet_cli {

namespace {

nlohmann::json read_description(const std::string& path) {
  std::ifstream in(platform::path_from_utf8(path));
  if (!in) throw IoError(fmt::format("{}: cannot read the description", path));
  try {
    return nlohmann::json::parse(in);
  } catch (const nlohmann::json::parse_error& e) {
    throw InvalidArgumentError(fmt::format("{}: not valid JSON: {}", path, e.what()));
  }
}

// KEY as decimal or as hex with 0x: a non-zero 32-bit number.
std::uint32_t parse_encoding_key(const std::string& text, const std::string& file) {
  std::size_t used = 0;
  unsigned long long key = 0;
  // Not base 0: a leading zero would make the digits octal.
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  try {
    key = std::stoull(hex ? text.substr(2) : text, &used, hex ? 16 : 10);
    used += hex ? 2 : 0;
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || key == 0 || key > 0xFFFFFFFFull || text[0] == '-')
    throw InvalidArgumentError(fmt::format(
        "{}: --encoded {}: the key must be a non-zero 32-bit number, decimal or hex with 0x (as "
        "in --encoded 0x1A2B3C4D); run again with such a key",
        file, text));
  return static_cast<std::uint32_t>(key);
}

}  // namespace

void define_create_command(CLI::App& sub) {
  auto file = std::make_shared<std::string>();
  auto description = std::make_shared<std::string>();
  auto replace = std::make_shared<bool>(false);
  auto encoding_key = std::make_shared<std::string>();
  sub.add_option("FILE", *file, "The database to create")->required();
  sub.add_option("--from", *description, "The JSON description of its tables and rows")
      ->required();
  sub.add_flag("--replace", *replace, "Replace FILE if it exists");
  sub.add_option("--encoded", *encoding_key,
                 "Make an encoded database, its pages encoded with KEY (decimal or 0x hex)");
  sub.callback([file, description, replace, encoding_key] {
    jet::DatabaseSpec spec = parse_database_description(read_description(*description), *description);
    if (!encoding_key->empty()) spec.encoding_key = parse_encoding_key(*encoding_key, *file);
    jet::create_database(platform::path_from_utf8(*file), spec, {.overwrite = *replace});
  });
}

}  // namespace norv::jet_cli
