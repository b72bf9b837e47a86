// The engine's index keys against every vector of the shared index-keys
// folder: text in the "General" sort order of Jet 3 and Jet 4, ascending and
// descending, the other key types, and multi-column keys. The vectors were
// checked against index pages Jet wrote; a key that differs from one breaks
// lookups in Access.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/text_codec.h"
#include "jet/index/general_sort_key.h"
#include "jet/index/index_key.h"
#include "tests/support/fixtures.h"

namespace norv::jet {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Row = std::map<std::string, std::string>;

std::optional<std::filesystem::path> index_keys_dir() {
  auto fixtures = test::fixtures_dir();
  if (!fixtures) return std::nullopt;
  auto dir = fixtures->parent_path() / "index-keys";
  if (!std::filesystem::is_directory(dir)) return std::nullopt;
  return dir;
}

#define REQUIRE_INDEX_KEYS()                                                            \
  do {                                                                                \
    if (!index_keys_dir())                                                            \
      GTEST_SKIP() << "shared index-keys folder not found (set NORV_SHARED_DIR or place " \
                      "../shared beside the checkout)";                               \
  } while (0)

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, separator)) out.push_back(field);
  if (!line.empty() && line.back() == separator) out.emplace_back();
  return out;
}

// The rows of a vector file, by column name; comment lines skipped.
std::vector<Row> read_vectors(const std::string& name) {
  std::ifstream in(*index_keys_dir() / name);
  std::vector<std::string> header;
  std::vector<Row> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    auto fields = split(line, '\t');
    if (header.empty()) {
      header = fields;
      continue;
    }
    Row row;
    for (std::size_t i = 0; i < header.size(); ++i) row[header[i]] = i < fields.size() ? fields[i] : "";
    rows.push_back(std::move(row));
  }
  return rows;
}

Bytes from_hex(const std::string& hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return out;
}

std::string to_hex(const Bytes& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (std::uint8_t b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

ColumnDef general_text_column(FormatVersion version) {
  ColumnDef column;
  column.name = "txt";
  column.type_byte = static_cast<std::uint8_t>(ColumnType::text);
  column.sort_order = 1033;
  if (version == FormatVersion::jet3) column.code_page = 1252;
  column.length = 510;
  return column;
}

// Counts the vectors and reports each that differs.
class VectorCheck {
 public:
  void expect(const std::string& id, const std::string& direction, const Bytes& actual,
              const std::string& expected) {
    ++checked_;
    if (to_hex(actual) == expected) return;
    if (++failed_ <= 20)
      ADD_FAILURE() << id << " " << direction << ": engine " << to_hex(actual) << ", vector "
                    << expected;
  }
  ~VectorCheck() {
    EXPECT_EQ(failed_, 0u) << "of " << checked_ << " keys";
    EXPECT_GT(checked_, 0u);
  }

 private:
  std::size_t checked_ = 0;
  std::size_t failed_ = 0;
};

Bytes stored_key(FormatVersion version, const ColumnDef& column, const Bytes& stored,
                 bool present, bool ascending) {
  return index_key_part(format_for(version), column, RowField{present, stored}, ascending, "vectors");
}

TEST(IndexKeyVectors, Jet3GeneralText) {
  REQUIRE_INDEX_KEYS();
  const auto rows = read_vectors("vectors-jet3-general-cp1252.tsv");
  EXPECT_EQ(rows.size(), 4834u);
  const ColumnDef column = general_text_column(FormatVersion::jet3);
  VectorCheck check;
  for (const Row& row : rows) {
    const Bytes stored = from_hex(row.at("value_cp1252"));
    check.expect(row.at("id"), "asc", stored_key(FormatVersion::jet3, column, stored, true, true),
                 row.at("key_asc"));
    check.expect(row.at("id"), "desc", stored_key(FormatVersion::jet3, column, stored, true, false),
                 row.at("key_desc"));
  }
}

// Jet 4 text as stored plainly, and compressed where every character fits a
// byte: both must give the vector's key. Text starting with U+FEFF cannot be
// stored plainly (it would read as the compression marker FF FE); its keys
// are checked on the code units.
TEST(IndexKeyVectors, Jet4GeneralText) {
  REQUIRE_INDEX_KEYS();
  const auto rows = read_vectors("vectors-jet4-general-legacy.tsv");
  EXPECT_EQ(rows.size(), 3661u);
  const ColumnDef column = general_text_column(FormatVersion::jet4);
  VectorCheck check;
  for (const Row& row : rows) {
    const Bytes units = from_hex(row.at("value_utf16"));
    Bytes plain;
    Bytes compressed{0xFF, 0xFE};
    std::u16string code_units;
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
      code_units.push_back(static_cast<char16_t>(units[i] << 8 | units[i + 1]));
      plain.push_back(units[i + 1]);
      plain.push_back(units[i]);
      if (units[i] == 0 && units[i + 1] != 0) compressed.push_back(units[i + 1]);
    }
    if (!code_units.empty() && code_units.front() == 0xFEFF) {
      Bytes ascending{0x7F};
      const Bytes body = jet4_general_sort_key(code_units);
      ascending.insert(ascending.end(), body.begin(), body.end());
      Bytes descending{0x80};
      const Bytes inverted = descending_text_key(FormatVersion::jet4, body);
      descending.insert(descending.end(), inverted.begin(), inverted.end());
      check.expect(row.at("id"), "asc", ascending, row.at("key_asc"));
      check.expect(row.at("id"), "desc", descending, row.at("key_desc"));
      continue;
    }
    std::vector<Bytes> forms{plain};
    if (compressed.size() - 2 == units.size() / 2) forms.push_back(compressed);
    for (const Bytes& stored : forms) {
      check.expect(row.at("id"), "asc", stored_key(FormatVersion::jet4, column, stored, true, true),
                   row.at("key_asc"));
      check.expect(row.at("id"), "desc",
                   stored_key(FormatVersion::jet4, column, stored, true, false), row.at("key_desc"));
    }
  }
}

ColumnDef typed_column(const std::string& type_name) {
  static const std::map<std::string, ColumnType> types{
      {"Boolean", ColumnType::boolean},   {"Byte", ColumnType::byte},
      {"Integer", ColumnType::integer},   {"Long", ColumnType::long_integer},
      {"Currency", ColumnType::currency}, {"Single", ColumnType::single},
      {"Double", ColumnType::double_},    {"DateTime", ColumnType::date_time},
      {"GUID", ColumnType::guid},         {"Decimal", ColumnType::decimal},
      {"Text", ColumnType::text}};
  if (type_name == "Text") return general_text_column(FormatVersion::jet4);
  ColumnDef column;
  column.name = type_name;
  column.type_byte = static_cast<std::uint8_t>(types.at(type_name));
  column.precision = 28;
  return column;
}

// Non-text keys are the same in both formats (Decimal exists in Jet 4 only).
TEST(IndexKeyVectors, OtherTypes) {
  REQUIRE_INDEX_KEYS();
  const auto rows = read_vectors("vectors-numeric.tsv");
  EXPECT_EQ(rows.size(), 263u);
  VectorCheck check;
  for (const Row& row : rows) {
    const ColumnDef column = typed_column(row.at("type"));
    const bool present = column.is_boolean() ? row.at("value") == "true" : row.at("value") != "NULL";
    const Bytes stored = from_hex(row.at("stored_le"));
    for (FormatVersion version : {FormatVersion::jet3, FormatVersion::jet4}) {
      if (version == FormatVersion::jet3 && column.type() == ColumnType::decimal) continue;
      check.expect(row.at("id"), "asc", stored_key(version, column, stored, present, true),
                   row.at("key_asc"));
      check.expect(row.at("id"), "desc", stored_key(version, column, stored, present, false),
                   row.at("key_desc"));
    }
  }
}

// Through the value side the creator uses: "txt Text ASC, lng Long DESC"
// and "txt=abc|lng=1".
Value vector_value(const ColumnDef& column, const std::string& text) {
  if (text == "NULL") return Null{};
  switch (column.type()) {
    case ColumnType::text: return text;
    case ColumnType::long_integer: return static_cast<std::int32_t>(std::stol(text));
    case ColumnType::integer: return static_cast<std::int16_t>(std::stoi(text));
    case ColumnType::date_time: return DateTime{std::stod(text)};
    case ColumnType::boolean: return text == "true";
    default: ADD_FAILURE() << "no value of type " << column.type_byte; return Null{};
  }
}

TEST(IndexKeyVectors, MultiColumn) {
  REQUIRE_INDEX_KEYS();
  const auto rows = read_vectors("vectors-multicolumn.tsv");
  EXPECT_EQ(rows.size(), 31u);
  const TextCodec text(FormatVersion::jet4, 1252);
  VectorCheck check;
  for (const Row& row : rows) {
    std::map<std::string, std::string> values;
    for (const std::string& pair : split(row.at("values"), '|'))
      values[pair.substr(0, pair.find('='))] = pair.substr(pair.find('=') + 1);
    Bytes key;
    for (std::string slot : split(row.at("index"), ',')) {
      if (slot.front() == ' ') slot.erase(0, 1);
      const auto words = split(slot, ' ');  // name, type, ASC/DESC
      ColumnDef column = typed_column(words.at(1));
      column.name = words.at(0);
      const Bytes part = index_key_part(format_for(FormatVersion::jet4), column,
                                        vector_value(column, values.at(words.at(0))), text,
                                        words.at(2) == "ASC", "vectors");
      key.insert(key.end(), part.begin(), part.end());
    }
    check.expect(row.at("id"), row.at("index"), key, row.at("key"));
  }
}

}  // namespace
}  // namespace norv::jet
