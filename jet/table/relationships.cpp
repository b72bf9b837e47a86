#include "jet/table/relationships.h"

#include <fmt/format.h>

#include <algorithm>

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

namespace {

std::vector<RelatedKey> keys_or_refuse(const ColumnKeys& keys_of, const Relationship& relationship,
                                      std::string_view table, std::string_view column) {
  std::optional<std::vector<RelatedKey>> keys = keys_of(table, column);
  if (!keys)
    throw NotSupportedError(fmt::format(
        "the relationship {} names column {} of table {}, which the database does not "
        "have; repair the database in Access and run again",
        relationship.name, column, table));
  return std::move(*keys);
}

class RelationshipCheck {
 public:
  RelationshipCheck(const Relationship& relationship, const ColumnKeys& keys_of,
                    const RelatedKey& value)
      : relationship_(relationship), keys_of_(keys_of), value_(value) {}

  // The referencing rows will all hold the value: it must be Null or one
  // the referenced column holds.
  void as_referencing_column() const {
    if (!value_) return;
    const std::vector<RelatedKey> referenced =
        keys_or_refuse(keys_of_, relationship_, relationship_.referenced_table,
                       relationship_.referenced_column);
    if (std::find(referenced.begin(), referenced.end(), value_) == referenced.end())
      throw InvalidArgumentError(fmt::format(
          "You cannot add or change a record because a related record is required in table "
          "'{}'. (Relationship {}: give {} a value that {}.{} holds, or Null.)",
          relationship_.referenced_table, relationship_.name,
          relationship_.column, relationship_.referenced_table, relationship_.referenced_column));
  }

  // The referenced rows will all hold the value: every row referring to
  // them must hold it already.
  void as_referenced_column() const {
    const std::vector<RelatedKey> referencing =
        keys_or_refuse(keys_of_, relationship_, relationship_.table, relationship_.column);
    const auto related = std::count_if(referencing.begin(), referencing.end(),
                                       [&](const RelatedKey& k) { return k && k != value_; });
    if (related == 0) return;
    if (relationship_.cascades_updates())
      throw NotSupportedError(fmt::format(
          "the relationship {} cascades updates of {}.{} to {} rows of table {}; this tool "
          "does not cascade updates: make this change in Access",
          relationship_.name, relationship_.referenced_table,
          relationship_.referenced_column, related, relationship_.table));
    throw InvalidArgumentError(fmt::format(
        "The record cannot be deleted or changed because table '{}' includes related "
        "records. (Relationship {}: change or remove the {} related rows first.)",
        relationship_.table, relationship_.name, related));
  }

 private:
  const Relationship& relationship_;
  const ColumnKeys& keys_of_;
  const RelatedKey& value_;
};

}  // namespace

void check_relationships(const std::vector<Relationship>& relationships,
                         const ColumnKeys& keys_of, std::string_view table,
                         std::string_view column, const RelatedKey& value) {
  using platform::equal_ignoring_case;
  for (const Relationship& relationship : relationships) {
    if (!relationship.enforced() || !relationship.involves(table, column)) continue;
    const auto pairs = std::count_if(relationships.begin(), relationships.end(),
                                     [&](const Relationship& r) { return r.name == relationship.name; });
    if (pairs > 1)
      throw NotSupportedError(fmt::format(
          "column {} of table {} is in the relationship {} of {} columns, whose integrity "
          "this tool does not check; change the value in Access",
          column, table, relationship.name, pairs));
    const RelationshipCheck check(relationship, keys_of, value);
    if (equal_ignoring_case(relationship.table, table) &&
        equal_ignoring_case(relationship.column, column))
      check.as_referencing_column();
    if (equal_ignoring_case(relationship.referenced_table, table) &&
        equal_ignoring_case(relationship.referenced_column, column))
      check.as_referenced_column();
  }
}

}  // namespace norv::jet
