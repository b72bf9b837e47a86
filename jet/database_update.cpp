// Database::update_column: the engine's one write operation, under the
// database lock and through a handle of its own.

#include <fmt/format.h>

#include "jet/column_update.h"
#include "jet/database_impl.h"
#include "jet/format_fault.h"
#include "jet/relationships.h"
#include "jet/table_def_reader.h"
#include "platform/database_lock.h"

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

// Whether `column` (any case) is a key column of an index of `table`. Both
// sides of an enforced relationship are indexed.
bool is_indexed(const TableDef& table, std::string_view column) {
  for (const ColumnDef& c : table.columns) {
    if (!same_name(c.name, column)) continue;
    for (const RealIndexDef& index : table.real_indexes)
      for (const IndexKey& key : index.keys)
        if (key.column_number == c.number) return true;
  }
  return false;
}

}  // namespace

std::uint64_t Database::Impl::update_column(std::string_view table, std::string_view column,
                                            const Value& value) {
  // Only the catalog comes from the read handle; the definition is read
  // under the lock.
  const CatalogObject& object = local_object(table);
  PageFile writer = PageFile::over(platform::lock_database_for_update(path));
  CountPages count{writer, update_stats};

  // Everything is read again under the lock: another program may have
  // changed the file since it was opened.
  const Header current = read_header(writer);
  if (current.format != header.format)
    throw_format_fault("the file's format changed while it was open");
  const TableDef definition = read_table_def(writer, format(), text, object.definition_page());
  if (const CatalogObject* relationships = catalog().find_local_table(relationships_table);
      relationships != nullptr && is_indexed(definition, column)) {
    const TableDef listed =
        read_table_def(writer, format(), text, relationships->definition_page());
    refuse_column_in_relationship(read_relationships(TableReader(writer, format(), text), listed),
                                  path, object.name, column);
  }
  return jet::update_column(writer, format(), text,
                            ColumnUpdate{definition, object.name, column, value});
}

}  // namespace norv::jet
