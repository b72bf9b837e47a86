#pragma once

// The engine's public face: one Jet 3 or Jet 4 database file.
//
// Opening reads and checks the header only; the catalog and table
// definitions are read when first asked for. Every page is parsed and
// checked before it is used; a file the engine cannot understand is a
// CorruptDatabaseError or NotSupportedError naming the file, never a guess.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/column_type.h"
#include "jet/format_version.h"
#include "jet/io_stats.h"
#include "jet/value.h"

namespace norv::platform {
class Storage;
}

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

class Database {
 public:
  // Throws IoError, CorruptDatabaseError or NotSupportedError.
  static Database open(const std::filesystem::path& path);
  // The same in `storage` (reads, and the updates' writes), which must
  // outlive the Database; open(path) uses the operating system's files.
  static Database open(const std::filesystem::path& path, platform::Storage& storage);

  Database(Database&&) noexcept;
  Database& operator=(Database&&) noexcept;
  ~Database();

  const std::filesystem::path& path() const;
  FormatVersion format() const;
  std::uint32_t page_size() const;
  std::uint32_t page_count() const;
  std::uint16_t code_page() const;
  // The key its pages are encoded with; 0 for a plain file.
  std::uint32_t encoding_key() const;

  // Every entry an ADOX Tables collection lists, in catalog order.
  const std::vector<CatalogEntry>& catalog() const;

  // A local table by name, without regard to case. Throws
  // InvalidArgumentError naming the table and the file when there is none.
  TableInfo table(std::string_view name) const;

  // The local table (TABLE, SYSTEM TABLE or ACCESS TABLE) an entry of this
  // database's catalog() lists, for a caller that has already found the
  // entry: its name is not looked up again. InvalidArgumentError for an
  // entry of another kind or of another catalog.
  TableInfo table(const CatalogEntry& entry) const;

  // Calls visit once per live row, values in TableInfo::columns order.
  void for_each_row(const TableInfo& table,
                    const std::function<void(const std::vector<Value>&)>& visit) const;

  // The largest value of `column` (of `table`) as an index on it gives it
  // without reading the rows, Null when it holds none, or nullopt when no
  // index can say (index_max.h): then the rows must be read.
  std::optional<Value> max_through_index(const TableInfo& table, const ColumnInfo& column) const;

  // Sets one column of every row of a local table to value, which must hold
  // the alternative that matches the column's type (the caller converts).
  // Either every row changes or, on any error, the file is left byte for
  // byte as it was. Durable before it returns. Returns the rows changed.
  std::uint64_t update_column(std::string_view table, std::string_view column,
                              const Value& value);

  // The same for a table that table() of this database described and one of
  // its columns: the names are not looked up again. The definition is still
  // read anew under the lock; a column no longer there is an
  // InvalidArgumentError, as with names.
  std::uint64_t update_column(const TableInfo& table, const ColumnInfo& column,
                              const Value& value);

  // The same update planned under the lock, with every check it makes
  // (types, unique keys, relationships, the table's and its indexes'
  // soundness), and nothing written: what it returns or throws is what
  // update_column would. For a dry run.
  std::uint64_t plan_update_column(const TableInfo& table, const ColumnInfo& column,
                                   const Value& value);

  // Walks every index of every local table (system tables included) from
  // its root and checks it against the table: entries and page layout, key
  // order, one entry per row with the key the row gives, unique keys, leaf
  // links, and that the index's usage map holds exactly its pages. Faults
  // are reported, not thrown; only an unreadable catalog throws.
  IndexCheckReport check_indexes() const;

  IoStats io_stats() const;

  // Whether this handle found the journal of an interrupted update beside
  // the file and put the file back as it was before that update (when it
  // was opened, or by an update that found one): callers tell the user.
  bool restored_interrupted_update() const;

  struct Impl;

 private:
  explicit Database(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace norv::jet
