#include "data/table_target.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "data/linked_path.h"
#include "platform/case_fold.h"
#include "platform/error.h"

namespace norv::data {
namespace {

using jet::CatalogKind;

const jet::CatalogEntry* find_entry(const jet::Database& database, std::string_view name) {
  for (const jet::CatalogEntry& entry : database.catalog())
    if (platform::equal_ignoring_case(entry.name, name)) return &entry;
  return nullptr;
}

std::string file_of(const jet::Database& database) { return database.path().string(); }

std::string consequence(const TableRequest& request) {
  return request.use == TableUse::update
             ? "its column " + std::string(request.column) + " cannot be set"
             : "MAX(" + std::string(request.column) + ") cannot be read";
}

[[noreturn]] void refuse(const TableRequest& request, const std::string& where,
                         const std::string& why) {
  throw NotSupportedError("The table " + std::string(request.name) + " in " + where + " is " + why +
                          ", so " + consequence(request) +
                          "; this tool reads and changes only Jet tables.");
}

void check_kind(const jet::CatalogEntry& entry, const TableRequest& request,
                const std::string& where) {
  switch (entry.kind) {
    case CatalogKind::pass_through:
      refuse(request, where, "a link to an ODBC data source");
    case CatalogKind::view:
      refuse(request, where, "a saved query");
    case CatalogKind::system_table:
    case CatalogKind::access_table:
      if (request.use == TableUse::update) refuse(request, where, "a system table");
      break;
    case CatalogKind::table:
    case CatalogKind::link:
      break;
  }
}

}  // namespace

TableTarget::TableTarget(std::unique_ptr<jet::Database> linked, jet::Database& database,
                         jet::TableInfo table, std::string description)
    : linked_(std::move(linked)),
      database_(&database),
      table_(std::move(table)),
      description_(std::move(description)) {}

TableTarget::~TableTarget() = default;

TableTarget TableTarget::resolve(jet::Database& database, std::string_view windows_path,
                                 const platform::PathMapper& paths, const TableRequest& request) {
  std::string where = file_of(database);
  const jet::CatalogEntry* entry = find_entry(database, request.name);
  if (entry == nullptr)
    throw InvalidArgumentError("There is no table " + std::string(request.name) + " in " + where +
                               ", so " + consequence(request) + "; check the table's name.");
  check_kind(*entry, request, where);
  if (entry->kind != CatalogKind::link)
    return TableTarget(nullptr, database, database.table(*entry),
                       "the table " + entry->name + " in " + where);

  std::optional<std::string> source_path =
      resolve_linked_database_path(windows_path, entry->linked_database);
  if (!source_path)
    refuse(request, where,
           "linked to \"" + entry->linked_database +
               "\", a path relative to a drive's current folder, which this tool cannot know");
  std::filesystem::path native = paths.to_native(*source_path);
  if (std::error_code ec; !std::filesystem::is_regular_file(native, ec))
    throw InvalidArgumentError("The linked table " + entry->name + " in " + where +
                               " points to the database " + *source_path + " (" + native.string() +
                               "), which does not exist, so " + consequence(request) +
                               "; relink the table or restore the file.");
  auto source = std::make_unique<jet::Database>(jet::Database::open(native));
  std::string source_where = file_of(*source);
  const jet::CatalogEntry* source_entry = find_entry(*source, entry->foreign_name);
  std::string link = "the table " + entry->foreign_name + " in " + source_where + " (linked as " +
                     entry->name + " from " + where + ")";
  if (source_entry == nullptr)
    throw InvalidArgumentError("The linked table " + entry->name + " in " + where +
                               " points to the table " + entry->foreign_name + " in " +
                               source_where + ", which does not exist, so " + consequence(request) +
                               "; relink the table.");
  if (source_entry->kind == CatalogKind::link)
    refuse(request, where, "linked to a table that is itself a link (" + link + ")");
  check_kind(*source_entry, request, source_where);
  jet::TableInfo table = source->table(*source_entry);
  jet::Database& source_database = *source;
  return TableTarget(std::move(source), source_database, std::move(table), link);
}

const jet::ColumnInfo& TableTarget::column(std::string_view name) const {
  for (const jet::ColumnInfo& column : table_.columns)
    if (platform::equal_ignoring_case(column.name, name)) return column;
  throw InvalidArgumentError("There is no column " + std::string(name) + " in " + description_ +
                             "; check the column's name.");
}

}  // namespace norv::data
