#pragma once

// A table definition (TDEF) as stored: the header counts, the column
// definitions sorted by column number, the indexes and the long-value maps.
// The logical definition buffer is the first page, then bytes 8.. of each
// continuation page. Reading and the creator's writing share one
// description of the buffer (and Format's offsets for what differs).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/row_pointer.h"
#include "jet/format/text_codec.h"
#include "jet/pager/page_file.h"
#include "jet/pager/page_images.h"
#include "jet/types/column_type.h"

namespace norv::jet {

namespace column_flags {
inline constexpr std::uint8_t fixed = 0x01;
inline constexpr std::uint8_t can_be_null = 0x02;
inline constexpr std::uint8_t long_autonumber = 0x04;
// Set by Access on the Owner and SID columns of its system tables.
inline constexpr std::uint8_t owner_or_sid = 0x20;
inline constexpr std::uint8_t guid_autonumber = 0x40;
inline constexpr std::uint8_t hyperlink = 0x80;
}  // namespace column_flags

namespace column_extra_flags {
// Jet 4 Text and Memo: the value may be stored compressed.
inline constexpr std::uint8_t compression_allowed = 0x01;
}  // namespace column_extra_flags

struct ColumnDef {
  std::string name;
  std::uint8_t type_byte = 0;
  std::uint16_t number = 0;        // null-mask bit
  std::uint16_t var_index = 0;     // variable columns: slot in the offset table
  std::uint16_t fixed_offset = 0;  // fixed columns: offset in the fixed area
  std::uint16_t length = 0;        // bytes (Jet 4 text: 2 x characters)
  std::uint8_t flags = 0;
  std::uint8_t extra_flags = 0;    // column_extra_flags
  std::uint16_t sort_order = 0;
  std::uint16_t code_page = 0;
  std::uint8_t sort_version = 0;   // Jet 4 text: 0 legacy, 1 the newer General order
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;

  ColumnType type() const { return static_cast<ColumnType>(type_byte); }
  bool is_fixed() const { return (flags & column_flags::fixed) != 0; }
  bool is_boolean() const { return type() == ColumnType::boolean; }
  bool is_long_value() const { return type() == ColumnType::memo || type() == ColumnType::ole; }
  bool allows_compression() const {
    return (extra_flags & column_extra_flags::compression_allowed) != 0;
  }
  // Access 97 sets flag 0x40 on ordinary Text, Date/Time and Currency
  // columns too, so each flag means AutoNumber only on the type it belongs to.
  bool is_autonumber() const {
    if (type() == ColumnType::long_integer) return (flags & column_flags::long_autonumber) != 0;
    if (type() == ColumnType::guid) return (flags & column_flags::guid_autonumber) != 0;
    return false;
  }
};

struct IndexKey {
  std::uint16_t column_number = 0;
  bool ascending = true;
};

namespace index_flags {
inline constexpr std::uint8_t unique = 0x01;
inline constexpr std::uint8_t ignore_nulls = 0x02;  // rows whose keys are all Null have no entry
inline constexpr std::uint8_t required = 0x08;
}  // namespace index_flags

struct RealIndexDef {
  std::vector<IndexKey> keys;  // used slots only, in key order
  RowPointer usage_map;
  std::uint32_t first_page = 0;
  std::uint8_t flags = 0;      // index_flags
};

struct LogicalIndexDef {
  std::string name;
  std::uint32_t index_number = 0;
  std::uint32_t real_index = 0;  // position in TableDef::real_indexes
  std::uint8_t index_type = 0;   // 1 primary key, 2 foreign key
};

inline constexpr std::uint8_t primary_key_index_type = 1;

struct LongValueMaps {
  std::uint16_t column_number = 0;
  RowPointer owned_pages;
  RowPointer free_space;
};

struct TableDef {
  std::uint32_t page = 0;                  // first TDEF page
  std::vector<std::uint32_t> pages;        // the whole chain, first page first
  std::uint32_t definition_length = 0;
  std::uint32_t num_rows = 0;              // a hint, never a scan bound
  std::uint32_t autonumber = 0;
  std::uint8_t table_type = 0;
  std::uint16_t max_cols = 0;
  std::uint16_t num_var_cols = 0;
  std::vector<ColumnDef> columns;          // sorted by column number
  std::vector<RealIndexDef> real_indexes;
  std::vector<LogicalIndexDef> logical_indexes;
  std::vector<LongValueMaps> long_value_maps;
  RowPointer owned_pages_map;
  RowPointer free_space_map;
};

// The position in `table.columns` of the column named `name`, under the
// one case rule for names.
std::optional<std::size_t> find_column(const TableDef& table, std::string_view name);

// The names of the logical indexes over real index `real`, for messages
// ("#<real>" when none names it).
std::string index_names(const TableDef& table, std::size_t real);

// Whether the column of that number is one of the index's key columns.
bool index_holds_column(const RealIndexDef& index, std::uint16_t column_number);

// Reading.

inline constexpr std::uint8_t table_def_page_type = 0x02;

// The logical definition buffer: the whole first page, then bytes 8.. of
// each continuation page. `chain` receives the page numbers in order.
std::vector<std::uint8_t> read_table_def_bytes(PageFile& pages, std::uint32_t first_page,
                                               std::vector<std::uint32_t>& chain);

// Throws FormatFault for anything that is not a consistent definition,
// including a column type outside the Jet 3 / Jet 4 range.
TableDef read_table_def(PageFile& pages, const Format& format, const TextCodec& names,
                        std::uint32_t first_page);

// Parses an already assembled definition buffer (tests, fuzzing).
TableDef parse_table_def(const Format& format, const TextCodec& names,
                         std::span<const std::uint8_t> definition);

// Writing: the creator's definitions, with the header counts, column
// definitions and names, one real index per logical index and no
// long-value column maps. A definition longer than a page continues on
// further TDEF pages.

struct IndexLayout {
  std::string name;
  std::vector<std::uint16_t> column_numbers;  // key columns
  std::vector<bool> ascending;                // per key column
  std::uint8_t flags = 0;                     // index_flags
  bool primary_key = false;
  std::uint32_t unique_keys = 0;  // statistic: distinct keys
  RowPointer usage_map;
  std::uint32_t first_page = 0;
};

struct TableLayout {
  std::uint8_t table_type = 'N';  // 'S' for Jet's system tables
  std::uint32_t num_rows = 0;
  std::uint32_t autonumber = 0;   // last long autonumber handed out
  std::uint16_t max_cols = 0;
  std::uint16_t num_var_cols = 0;
  std::vector<ColumnDef> columns;  // number order, with names
  std::vector<IndexLayout> indexes;
  RowPointer owned_pages;
  RowPointer free_space;
};

// The logical definition buffer (as if the pages were concatenated without
// their continuation headers). Its size does not depend on the pointers in
// `table`, so a first call with placeholders tells how many pages to
// allocate. Names that cannot be stored are an InvalidArgumentError.
std::vector<std::uint8_t> build_tdef_buffer(const Format& format, const TableLayout& table,
                                            const TextCodec& text);

// Pages a buffer of `size` bytes needs.
std::size_t tdef_page_count(const Format& format, std::size_t size);

// Writes `buffer` into the pages `numbers` (tdef_page_count of them), first
// page first, chaining them.
void write_tdef_pages(const Format& format, std::span<const std::uint8_t> buffer,
                      std::span<const std::uint32_t> numbers, PageImages& pages);

}  // namespace norv::jet
