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

#include "jet/types/format_version.h"
#include "jet/types/io_stats.h"
#include "jet/types/schema.h"
#include "jet/types/value.h"

namespace norv::platform {
class Storage;
}

namespace norv::jet {

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
