#include "jet/relationships.h"

#include <fmt/format.h>

#include "platform/case_fold.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

std::string text_of(const Value& value) {
  const auto* text = std::get_if<std::string>(&value);
  return text == nullptr ? std::string() : *text;
}

std::int32_t long_of(const Value& value) {
  const auto* number = std::get_if<std::int32_t>(&value);
  return number == nullptr ? 0 : *number;
}

}  // namespace

bool Relationship::involves(std::string_view t, std::string_view c) const {
  using platform::equal_ignoring_case;
  return (equal_ignoring_case(table, t) && equal_ignoring_case(column, c)) ||
         (equal_ignoring_case(referenced_table, t) && equal_ignoring_case(referenced_column, c));
}

std::vector<Relationship> read_relationships(const TableReader& reader,
                                             const TableDef& definition) {
  const auto position = [&](std::string_view name) {
    return find_column(definition, name).value_or(definition.columns.size());
  };
  const std::size_t name = position("szRelationship"), flags = position("grbit"),
                    table = position("szObject"), column = position("szColumn"),
                    referenced_table = position("szReferencedObject"),
                    referenced_column = position("szReferencedColumn");
  std::vector<Relationship> out;
  reader.for_each_row(definition, relationships_table, [&](std::vector<Value>& row) {
    const auto at = [&](std::size_t i) { return i < row.size() ? row[i] : Value(Null{}); };
    out.push_back({text_of(at(name)), text_of(at(table)), text_of(at(column)),
                   text_of(at(referenced_table)), text_of(at(referenced_column)),
                   long_of(at(flags))});
  });
  return out;
}

void refuse_column_in_relationship(const std::vector<Relationship>& relationships,
                                   const std::filesystem::path& file, std::string_view table,
                                   std::string_view column) {
  for (const Relationship& relationship : relationships) {
    if (!relationship.enforced() || !relationship.involves(table, column)) continue;
    throw NotSupportedError(fmt::format(
        "{}: column {} of table {} is in the relationship {} ({}.{} refers to {}.{}), whose "
        "integrity this tool does not check yet; change the value in Access",
        file.string(), column, table, relationship.name, relationship.table, relationship.column,
        relationship.referenced_table, relationship.referenced_column));
  }
}

}  // namespace norv::jet
