#pragma once

// Jet's own tables as the creator writes them: MSysObjects (the catalog),
// MSysACEs (permissions), MSysQueries (saved queries) and
// MSysRelationships, with the columns, indexes and rows a database freshly
// made by Jet's own provider has, plus one catalog row (and the
// permissions) for every table, link and query of the DatabaseSpec being created.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/creator.h"
#include "jet/format.h"

namespace norv::jet {

namespace catalog_id {
inline constexpr std::int32_t root = 0x0F000000;
inline constexpr std::int32_t tables = 0x0F000001;
inline constexpr std::int32_t databases = 0x0F000002;
inline constexpr std::int32_t relationships = 0x0F000003;
inline constexpr std::int32_t msysdb = 0x10000000;
}  // namespace catalog_id

inline constexpr std::size_t msysobjects_position = 0;  // its TDEF is page 2
inline constexpr std::size_t msysaces_position = 1;
inline constexpr std::size_t msysqueries_position = 2;

// The four system tables, without rows, in the order their TDEFs follow
// page 2.
std::vector<TableSpec> system_table_specs(const Format& format);

struct CreatedCatalogObject {
  std::string name;
  std::int16_t type = 1;  // 1 table, 2 database, 3 container, 4 ODBC link, 5 query, 6 link
  std::int32_t id = 0;    // TDEF page for tables
  std::int32_t parent = catalog_id::tables;
  std::int32_t flags = 0;
  bool jet_object = false;  // Jet's own: containers, MSysDb, system tables
  LinkSpec link;            // types 4 and 6
};

// Every catalog object: the containers, MSysDb, the system tables, then the
// spec's tables, links and queries. `tdef_pages` holds the first TDEF page
// of each table, system tables first.
std::vector<CreatedCatalogObject> catalog_objects(const DatabaseSpec& spec,
                                           const std::vector<std::uint32_t>& tdef_pages);

// Rows of MSysObjects, MSysACEs and MSysQueries for those objects.
std::vector<RowValues> msysobjects_rows(const std::vector<CreatedCatalogObject>& objects, double now);
std::vector<RowValues> msysaces_rows(const std::vector<CreatedCatalogObject>& objects);
std::vector<RowValues> msysqueries_rows(const DatabaseSpec& spec,
                                        const std::vector<CreatedCatalogObject>& objects);

}  // namespace norv::jet
