// Database::check_indexes: every local table's indexes (index_check.h).

#include "jet/database.h"
#include "jet/database_impl.h"
#include "jet/format/table_def.h"
#include "jet/format/usage_map.h"
#include "jet/index/index_check.h"

namespace norv::jet {

namespace {

bool is_local(CatalogKind kind) {
  return kind == CatalogKind::table || kind == CatalogKind::system_table ||
         kind == CatalogKind::access_table;
}

}  // namespace

IndexCheckReport Database::check_indexes() const {
  return impl_->operation([&] {
    IndexCheckReport report;
    const TableReader reader = impl_->reader();
    UsageMap free_pages;
    try {
      free_pages = read_usage_map(impl_->pages, impl_->format(), global_usage_map, MapSense::free);
    } catch (const CorruptDatabaseError& fault) {
      report.problems.push_back({"", "", fault.what()});
    }
    for (const CatalogEntry& entry : impl_->catalog().entries()) {
      if (!is_local(entry.kind)) continue;
      try {
        const TableDef table =
            read_table_def(impl_->pages, impl_->format(), impl_->text, entry.definition_page);
        check_table_indexes(reader, entry.name, table, free_pages, report);
      } catch (const CorruptDatabaseError& fault) {
        report.problems.push_back({entry.name, "", fault.what()});
      }
    }
    return report;
  });
}

}  // namespace norv::jet
