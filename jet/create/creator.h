#pragma once

// Creating a new Jet 3 or Jet 4 database: the header, the system catalog
// (MSysObjects with its containers, MSysACEs, MSysQueries,
// MSysRelationships), tables with typed columns, indexes, rows, linked
// tables, saved select queries and enforced relationships. The tests and the demo build their
// databases with it; the files read with mdbtools as well as with this
// engine.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/types/column_type.h"
#include "jet/types/format_version.h"
#include "jet/types/schema.h"
#include "jet/types/value.h"

namespace norv::jet {

struct ColumnSpec {
  std::string name;
  ColumnType type = ColumnType::text;
  std::uint16_t size = 50;        // Text: characters (1..255)
  std::uint8_t precision = 18;    // Decimal: digits (1..28)
  std::uint8_t scale = 0;         // Decimal: digits after the point
  bool autonumber = false;        // Long: Null in a row becomes the next number
  bool compressed_unicode = false;  // Jet 4 Text/Memo
  bool required = false;          // rows must not hold Null here
};

struct IndexSpec {
  std::string name;
  std::vector<std::string> columns;  // key columns
  bool primary_key = false;          // implies unique and required
  bool unique = false;
  std::vector<bool> descending = {};  // per key column; missing ones ascend
};

// Row values in column order, one alternative per type as in value.h; Memo
// takes text (std::string) and OLE takes Binary, whatever their size.
using RowValues = std::vector<Value>;

struct TableSpec {
  std::string name;
  std::vector<ColumnSpec> columns;
  std::vector<IndexSpec> indexes;
  std::vector<RowValues> rows;
};

// A linked table. Without `connect` it links a table of another Jet
// database (LINK); with an ODBC connect string ("ODBC;DSN=...") it is an
// ODBC link (PASS-THROUGH).
struct LinkSpec {
  std::string name;
  std::string database;      // the source database's path (Jet links)
  std::string foreign_name;  // the table's name in the source
  std::string connect;
};

// A saved query "SELECT * FROM <table>".
struct QuerySpec {
  std::string name;
  std::string table;
};

// An enforced relationship of one column pair: `column` of `table` refers
// to `referenced_column` of `referenced_table`. It is recorded in
// MSysRelationships as Jet records it; the rows are not checked against it,
// and the indexes both columns need for updates are the tables' own.
struct RelationshipSpec {
  std::string name;
  std::string table;
  std::string column;
  std::string referenced_table;
  std::string referenced_column;
  bool cascade_updates = false;
};

struct DatabaseSpec {
  FormatVersion format = FormatVersion::jet4;
  std::uint16_t code_page = 1252;  // Jet 3 text
  std::vector<TableSpec> tables;
  std::vector<LinkSpec> links;
  std::vector<QuerySpec> select_queries;
  std::vector<RelationshipSpec> relationships;
  // Non-zero: an encoded database (page_encoding.h) with this key.
  std::uint32_t encoding_key = 0;
};

struct CreateOptions {
  bool overwrite = false;  // replace an existing file instead of refusing
};

// Writes the database to `path` atomically: the file is built beside it,
// synced and renamed into place, so `path` is either absent or complete.
// An existing file is refused with InvalidArgumentError unless
// options.overwrite. A spec the creator cannot honour (a name used twice, a
// value that does not fit its column, an index it cannot build) is an
// InvalidArgumentError or NotSupportedError naming the table, and nothing is
// written.
void create_database(const std::filesystem::path& path, const DatabaseSpec& spec,
                     const CreateOptions& options = {});

}  // namespace norv::jet
