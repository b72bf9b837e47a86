#pragma once

// Jet's own tables as the creator writes them: MSysObjects (the catalog),
// MSysACEs (permissions), MSysQueries (saved queries) and
// MSysRelationships, with the columns, indexes and rows a database freshly
// made by Jet's own provider has, plus one catalog row (and the
// permissions) for every table, link and query of the DatabaseSpec being created.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/format/format.h"
#include "jet/table/catalog.h"

namespace norv::jet {

inline constexpr std::size_t msysobjects_position = 0;  // its TDEF is page 2
inline constexpr std::size_t msysaces_position = 1;
inline constexpr std::size_t msysqueries_position = 2;
inline constexpr std::size_t msysrelationships_position = 3;

// The four system tables, without rows, in the order their TDEFs follow
// page 2.
std::vector<TableSpec> system_table_specs(const Format& format);

// One catalog object the creator writes (the reader's view of a stored row
// is CatalogObject, catalog.h).
struct NewCatalogObject {
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
std::vector<NewCatalogObject> catalog_objects(const DatabaseSpec& spec,
                                              const std::vector<std::uint32_t>& tdef_pages);

// Rows of MSysObjects, MSysACEs and MSysQueries for those objects, and of
// MSysRelationships for the relationships the description lists.
std::vector<RowValues> msysobjects_rows(const std::vector<NewCatalogObject>& objects, double now);
std::vector<RowValues> msysaces_rows(const std::vector<NewCatalogObject>& objects);
std::vector<RowValues> msysqueries_rows(const DatabaseSpec& spec,
                                        const std::vector<NewCatalogObject>& objects);
std::vector<RowValues> msysrelationships_rows(const DatabaseSpec& spec);

}  // namespace norv::jet
