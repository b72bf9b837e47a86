#include "jet/create/creator_checks.h"

#include <fmt/format.h>

#include <algorithm>
#include <set>

#include "jet/format/format.h"
#include "platform/case_fold.h"
#include "platform/error.h"
#include "platform/utf8.h"

namespace norv::jet {

namespace {

constexpr std::size_t max_name_characters = 64;
constexpr std::size_t max_columns = 255;
constexpr std::size_t max_index_columns = 10;

// The key under which names Jet takes for the same name meet.
std::string folded(std::string_view name) { return platform::to_upper_case(name); }

class Checker {
 public:
  explicit Checker(const DatabaseSpec& spec) : spec_(spec) {}

  void run() {
    std::set<std::string> objects;
    for (const TableSpec& table : spec_.tables) {
      object_name(table.name, objects);
      check_table(table);
    }
    for (const LinkSpec& link : spec_.links) {
      object_name(link.name, objects);
      if (link.foreign_name.empty() || (link.database.empty() && link.connect.empty()))
        fail(link.name, "a linked table needs the source table's name and its database or connect string");
    }
    for (const QuerySpec& query : spec_.select_queries) {
      object_name(query.name, objects);
      if (!objects.count(folded(query.table)))
        fail(query.name, fmt::format("the query reads {}, which is not a table of the database", query.table));
    }
    std::set<std::string> relationships;
    for (const RelationshipSpec& relationship : spec_.relationships) {
      check_relationship(relationship);
      if (!relationships.insert(folded(relationship.name)).second)
        fail(relationship.name, "the relationship name is used twice; give each its own");
    }
  }

 private:
  [[noreturn]] void fail(std::string_view object, std::string_view what) const {
    throw InvalidArgumentError(fmt::format("{}: {}", object, what));
  }

  void name(std::string_view object, const std::string& n) const {
    auto text = platform::decode_utf8(n);
    if (!text || text->empty() || text->size() > max_name_characters)
      fail(object, fmt::format("the name \"{}\" must be 1 to 64 characters of valid text", n));
  }

  void object_name(const std::string& n, std::set<std::string>& seen) const {
    name(n, n);
    if (folded(n).rfind("MSYS", 0) == 0) fail(n, "names starting with MSys are reserved for Jet");
    if (!seen.insert(folded(n)).second) fail(n, "the name is used twice");
  }

  void check_column(const TableSpec& table, const ColumnSpec& c) const {
    name(table.name, c.name);
    if (!is_known_column_type(static_cast<std::uint8_t>(c.type)))
      fail(table.name, fmt::format("column {} has an unknown type", c.name));
    if (c.type == ColumnType::text && (c.size < 1 || c.size > 255))
      fail(table.name, fmt::format("Text column {} must hold 1 to 255 characters", c.name));
    if (c.type == ColumnType::binary && (c.size < 1 || c.size > 255))
      fail(table.name, fmt::format("Binary column {} must hold 1 to 255 bytes", c.name));
    if (c.type == ColumnType::decimal &&
        (c.precision < 1 || c.precision > 28 || c.scale > c.precision))
      fail(table.name, fmt::format("Decimal column {} needs precision 1..28 and scale <= precision", c.name));
    if (c.type == ColumnType::decimal && !format_for(spec_.format).has_decimal_type)
      throw NotSupportedError(fmt::format("{}: Jet 3 databases have no Decimal type (column {})",
                                          table.name, c.name));
    if (c.autonumber && c.type != ColumnType::long_integer)
      fail(table.name, fmt::format("column {}: only Long columns can be AutoNumber", c.name));
  }

  void check_index(const TableSpec& table, const IndexSpec& index, std::set<std::string>& names) const {
    name(table.name, index.name);
    if (!names.insert(folded(index.name)).second)
      fail(table.name, fmt::format("index name {} is used twice", index.name));
    if (index.columns.empty() || index.columns.size() > max_index_columns)
      fail(table.name, fmt::format("index {} needs 1 to 10 columns", index.name));
    for (const std::string& key : index.columns) {
      bool found = std::any_of(table.columns.begin(), table.columns.end(),
                               [&key](const ColumnSpec& c) { return folded(c.name) == folded(key); });
      if (!found) fail(table.name, fmt::format("index {} names the unknown column {}", index.name, key));
    }
  }

  const ColumnSpec& column_of_a_table(const RelationshipSpec& relationship, const std::string& table,
                                      const std::string& column) const {
    const auto named = std::find_if(spec_.tables.begin(), spec_.tables.end(), [&](const TableSpec& t) {
      return folded(t.name) == folded(table);
    });
    if (named != spec_.tables.end()) {
      const auto found = std::find_if(named->columns.begin(), named->columns.end(),
                                      [&](const ColumnSpec& c) { return folded(c.name) == folded(column); });
      if (found != named->columns.end()) return *found;
    }
    fail(relationship.name, fmt::format("the relationship names column {} of table {}, which the "
                                        "database does not have; name a column of its tables",
                                        column, table));
  }

  // Related values are compared by their index keys, which only columns of
  // one type share.
  void check_relationship(const RelationshipSpec& relationship) const {
    name(relationship.name, relationship.name);
    const ColumnSpec& referencing =
        column_of_a_table(relationship, relationship.table, relationship.column);
    const ColumnSpec& referenced = column_of_a_table(relationship, relationship.referenced_table,
                                                     relationship.referenced_column);
    if (referencing.type != referenced.type)
      fail(relationship.name,
           fmt::format("the relationship joins {}.{} ({}) to {}.{} ({}); give both columns one type",
                       relationship.table, relationship.column, column_type_name(referencing.type),
                       relationship.referenced_table, relationship.referenced_column,
                       column_type_name(referenced.type)));
  }

  void check_table(const TableSpec& table) const {
    if (table.columns.empty() || table.columns.size() > max_columns)
      fail(table.name, "a table needs 1 to 255 columns");
    std::set<std::string> columns;
    for (const ColumnSpec& c : table.columns) {
      check_column(table, c);
      if (!columns.insert(folded(c.name)).second)
        fail(table.name, fmt::format("column name {} is used twice", c.name));
    }
    std::set<std::string> indexes;
    std::size_t primary_keys = 0;
    for (const IndexSpec& index : table.indexes) {
      check_index(table, index, indexes);
      primary_keys += index.primary_key ? 1 : 0;
    }
    if (primary_keys > 1) fail(table.name, "a table has at most one primary key");
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      if (table.rows[r].size() != table.columns.size())
        fail(table.name, fmt::format("row {} has {} values for {} columns", r + 1,
                                     table.rows[r].size(), table.columns.size()));
    }
  }

  const DatabaseSpec& spec_;
};

}  // namespace

void check_database_spec(const DatabaseSpec& spec) { Checker(spec).run(); }

}  // namespace norv::jet
