#pragma once

// The system catalog (MSysObjects, whose definition is always on page 2)
// and the list an ADOX catalog's Tables collection shows of it:
//
//   TABLE         local tables
//   SYSTEM TABLE  Jet's own tables (flag 0x80000000)
//   ACCESS TABLE  the application's system tables (flag 0x2)
//   LINK          tables linked from another Jet or ISAM database (type 6)
//   PASS-THROUGH  tables linked through ODBC (type 4)
//   VIEW          saved select queries without parameters (type 5)
//
// Every other query, and forms, reports, modules, containers and
// relationships, are not listed. Entries keep the order of MSysObjects.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/format/table_def.h"
#include "jet/table/table_scan.h"
#include "jet/types/schema.h"

namespace norv::jet {

// MSysObjects' ids, types and flags, as the catalog reader and the
// creator's system tables both use them.
namespace catalog_id {
inline constexpr std::int32_t root = 0x0F000000;
inline constexpr std::int32_t tables = 0x0F000001;
inline constexpr std::int32_t databases = 0x0F000002;
inline constexpr std::int32_t relationships = 0x0F000003;
inline constexpr std::int32_t msysdb = 0x10000000;
}  // namespace catalog_id

namespace object_type {
enum : std::int16_t { local_table = 1, database, container, odbc_link, query, jet_link };
}  // namespace object_type

namespace object_flags {
inline constexpr std::uint32_t jet_system = 0x80000000;
inline constexpr std::uint32_t access_system = 0x00000002;
}  // namespace object_flags

// One MSysObjects row, as far as the engine needs it.
struct CatalogObject {
  std::int32_t id = 0;
  std::int32_t parent_id = 0;
  std::string name;
  std::int16_t type = 0;
  std::uint32_t flags = 0;
  std::string database;        // links: the source database's path
  std::string foreign_name;    // links: the table's name in the source
  Value properties = Null{};   // LvProp: Binary holding the raw long-value field, or Null
  RowPointer row;              // where the row is, for messages

  // A local table's definition page: its id without the top byte.
  std::uint32_t definition_page() const { return static_cast<std::uint32_t>(id) & 0x00FFFFFF; }
};

class Catalog {
 public:
  // Reads MSysObjects (and MSysQueries, when there are queries). Throws
  // FormatFault for a catalog without the columns every Jet catalog has.
  static Catalog read(const TableReader& reader);

  const std::vector<CatalogEntry>& entries() const { return entries_; }

  // The local table (TABLE, SYSTEM TABLE or ACCESS TABLE) of that name,
  // compared as Jet compares object names: without regard to case
  // (platform/case_fold.h).
  const CatalogObject* find_local_table(std::string_view name) const;

  // The object an entry of entries() was made from; nullptr for an entry
  // of another catalog.
  const CatalogObject* object_of(const CatalogEntry& entry) const;

  // The stored LvProp blob of an object (empty when it has none).
  std::vector<std::uint8_t> properties(const CatalogObject& object,
                                       const TableReader& reader) const;

 private:
  std::vector<CatalogObject> objects_;
  std::vector<CatalogEntry> entries_;
  std::vector<std::size_t> entry_objects_;  // per entry, its object's position
};

}  // namespace norv::jet
