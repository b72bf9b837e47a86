#pragma once

// What the engine tells its callers about a database: its tables, their
// columns and indexes, its catalog, and what an index check found. Plain
// values, also the vocabulary the engine's inner layers describe tables in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/types/column_type.h"

namespace norv::jet {

struct ColumnInfo {
  std::string name;
  ColumnType type = ColumnType::text;
  std::uint16_t number = 0;          // index into a row's null mask
  std::uint16_t length = 0;          // bytes as the definition stores them (0 for Memo/OLE)
  std::uint16_t max_characters = 0;  // Text: the column's size in characters
  std::uint8_t precision = 0;        // Decimal
  std::uint8_t scale = 0;            // Decimal
  bool fixed = false;                // stored in the row's fixed area
  bool autonumber = false;           // long or GUID autonumber
  bool compressed_unicode = false;   // Jet 4 Text/Memo: compression allowed
  bool required = false;             // column property "Required", when stored
  bool has_validation_rule = false;  // column property "ValidationRule", when stored
};

struct IndexInfo {
  std::string name;
  std::vector<std::string> columns;  // key columns, in key order
  bool primary_key = false;
  bool unique = false;
};

struct TableInfo {
  std::string name;
  std::uint32_t definition_page = 0;
  std::vector<ColumnInfo> columns;  // in column-number order
  std::vector<IndexInfo> indexes;
};

// The kinds an ADOX catalog's Tables collection reports.
enum class CatalogKind { table, system_table, access_table, link, pass_through, view };

// "TABLE", "SYSTEM TABLE", "ACCESS TABLE", "LINK", "PASS-THROUGH", "VIEW".
std::string_view catalog_kind_name(CatalogKind kind);

struct CatalogEntry {
  std::string name;
  CatalogKind kind = CatalogKind::table;
  std::uint32_t definition_page = 0;  // local tables only
  std::string linked_database;        // LINK: the source database's path as stored
  std::string foreign_name;           // LINK, PASS-THROUGH: the table's name in the source
};

// One fault check_indexes() found: in an index, or (index empty) in the
// table as a whole.
struct IndexProblem {
  std::string table;
  std::string index;
  std::string what;
};

struct IndexCheckReport {
  std::uint64_t tables = 0;   // local tables with at least one index
  std::uint64_t indexes = 0;  // indexes walked (one per stored index, whatever names it has)
  std::uint64_t entries = 0;  // leaf entries read
  std::uint64_t rows = 0;     // rows matched against the indexes
  std::vector<std::string> keys_not_recomputed;  // "table, index": text of another sort order
  std::vector<IndexProblem> problems;
  bool sound() const { return problems.empty(); }
};

}  // namespace norv::jet
