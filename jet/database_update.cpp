// Database::update_column: the engine's one write operation, under the
// database lock and through a handle of its own.

#include <fmt/format.h>

#include <algorithm>
#include <optional>

#include "jet/base/format_fault.h"
#include "jet/database_impl.h"
#include "jet/format/table_def.h"
#include "jet/index/index_key.h"
#include "jet/table/relationships.h"
#include "jet/write/column_update.h"
#include "jet/write/interrupted_update.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

// Adds the update handle's page counts to the database's when it goes,
// whether the update finished or not.
struct CountPages {
  const PageFile& pages;
  IoStats& total;
  ~CountPages() {
    total.pages_read += pages.stats().pages_read;
    total.pages_written += pages.stats().pages_written;
    total.bytes_read += pages.stats().bytes_read;
  }
};

// Whether the column of that number is a key column of an index of
// `table`. Both sides of an enforced relationship are indexed.
bool is_indexed(const TableDef& table, std::uint16_t column_number) {
  return std::any_of(
      table.real_indexes.begin(), table.real_indexes.end(),
      [&](const RealIndexDef& index) { return index_holds_column(index, column_number); });
}

// The position in `table` of the column an update sets: the one data/
// resolved (same number, same stored name), or the one named.
std::size_t column_to_set(const TableDef& table, const Database::Impl::ColumnChoice& choice,
                          const std::filesystem::path& file, std::string_view table_name) {
  std::optional<std::size_t> found;
  if (choice.number) {
    const auto& columns = table.columns;
    const auto same = std::find_if(columns.begin(), columns.end(), [&](const ColumnDef& c) {
      return c.number == *choice.number && c.name == choice.name;
    });
    if (same != columns.end()) found = static_cast<std::size_t>(same - columns.begin());
  } else {
    found = find_column(table, choice.name);
  }
  if (!found)
    throw InvalidArgumentError(fmt::format("{}: table {} has no column named {}; check the "
                                           "column's name",
                                           file.string(), table_name, choice.name));
  return *found;
}

}  // namespace

ColumnKeys Database::Impl::column_keys(PageFile& writer) {
  return [this, &writer](std::string_view table_name,
                         std::string_view column_name) -> std::optional<std::vector<RelatedKey>> {
    const CatalogObject* object = catalog().find_local_table(table_name);
    if (object == nullptr) return std::nullopt;
    const TableDef table = read_table_def(writer, format(), text, object->definition_page());
    const std::optional<std::size_t> column = find_column(table, column_name);
    if (!column) return std::nullopt;
    std::vector<RelatedKey> out;
    TableReader(writer, format(), text).for_each_row(table, table_name, [&](std::vector<Value>& row) {
      out.push_back(related_key(table.columns[*column], table_name, row.at(*column)));
    });
    return out;
  };
}

RelatedKey Database::Impl::related_key(const ColumnDef& column, std::string_view table,
                                       const Value& value) const {
  if (is_null(value)) return std::nullopt;
  if (!computes_keys_of(format(), column))
    throw NotSupportedError(fmt::format(
        "{}: column {} of table {} is in a relationship, and its text is in a sort order this "
        "tool cannot compare values in; change the value in Access",
        path.string(), column.name, table));
  return index_key_part(format(), column, value, text, true,
                        fmt::format("{}: table {}", path.string(), table));
}

std::uint64_t Database::Impl::update_column(std::string_view table, std::uint32_t definition_page,
                                            const ColumnChoice& choice, const Value& value,
                                            UpdateMode mode) {
  PageFile writer = PageFile::over(storage->open_for_update(path));
  CountPages count{writer, update_stats};
  // Another run may have been interrupted since this one opened the file.
  if (recover_interrupted_update(*storage, writer) == Recovery::restored) restored = true;

  // Everything but the catalog is read again under the lock: another
  // program may have changed the file since it was opened.
  const Header current = read_header(writer);
  if (current.format != header.format)
    throw_format_fault("the file's format changed while it was open");
  const TableDef definition = read_table_def(writer, format(), text, definition_page);
  const std::size_t column = column_to_set(definition, choice, path, table);
  const ColumnDef& def = definition.columns[column];
  if (const CatalogObject* relationships = catalog().find_local_table(relationships_table);
      relationships != nullptr && is_indexed(definition, def.number)) {
    const TableDef listed =
        read_table_def(writer, format(), text, relationships->definition_page());
    const std::vector<Relationship> all =
        read_relationships(TableReader(writer, format(), text), listed);
    // The value's key only where a relationship needs it: a column in none
    // may have text the engine cannot key, refused with its index.
    const bool related = std::any_of(all.begin(), all.end(), [&](const Relationship& r) {
      return r.enforced() && r.involves(table, def.name);
    });
    if (related)
      check_relationships(all, column_keys(writer), table, def.name,
                          related_key(def, table, value));
  }
  return jet::update_column(writer, *storage, format(), text,
                            ColumnUpdate{definition, table, column, value}, mode);
}

}  // namespace norv::jet
