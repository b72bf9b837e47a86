#include "jet/table/catalog.h"

#include <algorithm>
#include <functional>
#include <map>

#include <fmt/format.h>

#include "jet/base/format_fault.h"
#include "jet/format/table_def.h"
#include "platform/case_fold.h"

namespace norv::jet {

namespace {

constexpr std::string_view tables_container = "Tables";
constexpr std::string_view queries_table = "MSysQueries";

constexpr std::uint32_t query_kind_flags = 0x000000F0;

constexpr std::uint8_t query_kind_attribute = 1;
constexpr std::uint8_t query_parameter_attribute = 2;
constexpr std::int16_t select_query_kind = 1;

std::size_t require_column(const TableDef& table, std::string_view table_name,
                           std::string_view name) {
  if (auto i = find_column(table, name)) return *i;
  throw_format_fault(fmt::format("the system table {} has no column {}", table_name, name));
}

// An integer column's value; Null reads as 0.
std::int64_t integer_of(const Value& value) {
  return std::visit(
      [](const auto& v) -> std::int64_t {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::int16_t> ||
                      std::is_same_v<T, std::int32_t>)
          return v;
        else
          return 0;
      },
      value);
}

std::string text_of(const Value& value) {
  const auto* text = std::get_if<std::string>(&value);
  return text ? *text : std::string();
}

struct ObjectColumns {
  std::size_t id, parent_id, name, type, flags;
  std::optional<std::size_t> database, foreign_name, properties;
};

ObjectColumns object_columns(const TableDef& table) {
  const std::string_view t = "MSysObjects";
  return {require_column(table, t, "Id"),   require_column(table, t, "ParentId"),
          require_column(table, t, "Name"), require_column(table, t, "Type"),
          require_column(table, t, "Flags"), find_column(table, "Database"),
          find_column(table, "ForeignName"), find_column(table, "LvProp")};
}

// Per query: the kind its clause rows name, and whether it has parameters.
struct QueryInfo {
  std::optional<std::int16_t> kind;
  bool has_parameters = false;
};

std::map<std::int32_t, QueryInfo> read_query_info(const TableReader& reader,
                                                  std::uint32_t definition_page) {
  const TableDef table = read_table_def(reader.pages(), reader.format(), reader.text(),
                                        definition_page);
  const std::size_t object = require_column(table, queries_table, "ObjectId");
  const std::size_t attribute = require_column(table, queries_table, "Attribute");
  const std::size_t flag = require_column(table, queries_table, "Flag");
  std::map<std::int32_t, QueryInfo> queries;
  reader.for_each_raw_row(table, queries_table, [&](std::vector<Value>& row, const RowOrigin&) {
    QueryInfo& info = queries[static_cast<std::int32_t>(integer_of(row[object]))];
    const auto kind = integer_of(row[attribute]);
    if (kind == query_kind_attribute) info.kind = static_cast<std::int16_t>(integer_of(row[flag]));
    if (kind == query_parameter_attribute) info.has_parameters = true;
  });
  return queries;
}

bool is_view(const CatalogObject& query, const std::map<std::int32_t, QueryInfo>& queries) {
  QueryInfo info;
  if (auto found = queries.find(query.id); found != queries.end()) info = found->second;
  const bool select = info.kind ? *info.kind == select_query_kind
                                : (query.flags & query_kind_flags) == 0;
  return select && !info.has_parameters;
}

std::optional<CatalogKind> kind_of(const CatalogObject& object,
                                   const std::map<std::int32_t, QueryInfo>& queries) {
  switch (object.type) {
    case object_type::local_table:
      if (object.flags & object_flags::jet_system) return CatalogKind::system_table;
      if (object.flags & object_flags::access_system) return CatalogKind::access_table;
      return CatalogKind::table;
    case object_type::jet_link: return CatalogKind::link;
    case object_type::odbc_link: return CatalogKind::pass_through;
    case object_type::query:
      if (is_view(object, queries)) return CatalogKind::view;
      return std::nullopt;
    default: return std::nullopt;
  }
}

}  // namespace

Catalog Catalog::read(const TableReader& reader) {
  const TableDef table = read_table_def(reader.pages(), reader.format(), reader.text(),
                                        catalog_definition_page);
  const ObjectColumns at = object_columns(table);
  Catalog catalog;
  reader.for_each_raw_row(table, "MSysObjects", [&](std::vector<Value>& row,
                                                    const RowOrigin& origin) {
    CatalogObject object;
    object.id = static_cast<std::int32_t>(integer_of(row[at.id]));
    object.parent_id = static_cast<std::int32_t>(integer_of(row[at.parent_id]));
    object.name = text_of(row[at.name]);
    object.type = static_cast<std::int16_t>(integer_of(row[at.type]));
    object.flags = static_cast<std::uint32_t>(integer_of(row[at.flags]));
    object.row = {origin.page, static_cast<std::uint8_t>(origin.row)};
    if (at.foreign_name) object.foreign_name = text_of(row[*at.foreign_name]);
    if (at.properties) object.properties = row[*at.properties];
    if (at.database && object.type == object_type::jet_link)
      if (const auto* field = std::get_if<Binary>(&row[*at.database]))
        object.database = reader.text().decode(reader.long_value(field->bytes, origin));
    catalog.objects_.push_back(std::move(object));
  });

  const auto container = std::find_if(
      catalog.objects_.begin(), catalog.objects_.end(), [](const CatalogObject& o) {
        return o.type == object_type::container && o.parent_id == catalog_id::root &&
               platform::equal_ignoring_case(o.name, tables_container);
      });
  if (container == catalog.objects_.end())
    throw_format_fault("the system catalog has no Tables container");
  const std::int32_t tables_id = container->id;

  std::map<std::int32_t, QueryInfo> queries;
  const bool has_queries = std::any_of(catalog.objects_.begin(), catalog.objects_.end(),
                                       [](const CatalogObject& o) { return o.type == object_type::query; });
  if (const CatalogObject* msys_queries = catalog.find_local_table(queries_table);
      has_queries && msys_queries)
    queries = read_query_info(reader, msys_queries->definition_page());

  for (std::size_t i = 0; i < catalog.objects_.size(); ++i) {
    const CatalogObject& object = catalog.objects_[i];
    if (object.parent_id != tables_id) continue;
    const auto kind = kind_of(object, queries);
    if (!kind) continue;
    CatalogEntry entry{object.name, *kind, 0, object.database, object.foreign_name};
    if (object.type == object_type::local_table)
      entry.definition_page = object.definition_page();
    catalog.entries_.push_back(std::move(entry));
    catalog.entry_objects_.push_back(i);
  }
  return catalog;
}

const CatalogObject* Catalog::find_local_table(std::string_view name) const {
  for (const CatalogObject& object : objects_)
    if (object.type == object_type::local_table &&
        platform::equal_ignoring_case(object.name, name))
      return &object;
  return nullptr;
}

const CatalogObject* Catalog::object_of(const CatalogEntry& entry) const {
  const std::less<const CatalogEntry*> before;
  const CatalogEntry* first = entries_.data();
  if (before(&entry, first) || !before(&entry, first + entries_.size())) return nullptr;
  return &objects_[entry_objects_[static_cast<std::size_t>(&entry - first)]];
}

std::vector<std::uint8_t> Catalog::properties(const CatalogObject& object,
                                              const TableReader& reader) const {
  const auto* field = std::get_if<Binary>(&object.properties);
  if (field == nullptr) return {};
  const RowOrigin origin{"MSysObjects", object.row.page, object.row.row};
  return reader.long_value(field->bytes, origin);
}

}  // namespace norv::jet
