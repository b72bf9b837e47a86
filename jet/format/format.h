#pragma once

// Everything that differs between Jet 3 and Jet 4 on disk, in one
// descriptor. Format code asks the descriptor; it never tests the version.
// Offsets of a structure that are the same in both formats stay with the
// code of that structure.

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/types/format_version.h"

namespace norv::jet {

// The LCID of Jet's General sort order, the default of both formats (the
// header's default order and every text column the creator makes).
inline constexpr std::uint16_t general_sort_order = 0x0409;

// Every file keeps the definition of its catalog table (MSysObjects) here.
inline constexpr std::uint32_t catalog_definition_page = 2;

// A field Jet always fills with the same value and no reader relies on;
// writers store it so that new files look as Jet makes them.
struct ConstantField {
  std::uint32_t offset;
  std::uint32_t size;  // 1, 2 or 4 bytes, little-endian
  std::uint32_t value;
};

using ConstantFields = std::vector<ConstantField>;

struct HeaderLayout {
  std::uint8_t version_byte;               // at 0x14
  std::uint32_t masked_block_length;       // the RC4-masked block starting at 0x18
  std::uint32_t password_length;           // bytes of the password field at 0x42
  std::uint32_t sort_order;                // u16, LCID of the default collating order
  // f64 OLE date; where the format stores one, the password is masked once
  // more with the date's integer part.
  std::optional<std::uint32_t> creation_date;
  ConstantFields constants;                // written into a new header page
};

struct ColumnLayout {
  std::uint32_t size;           // bytes per column definition
  std::uint32_t type;           // u8
  std::uint32_t number;         // u16
  std::uint32_t var_index;      // u16
  std::uint32_t sort_order;     // u16 (text)
  std::int32_t code_page;       // u16 (text), -1 where the format has none
  std::int32_t sort_version;    // u8 (text), -1 where the format has none
  std::int32_t precision;       // u8 (decimal), -1 where the format has none
  std::int32_t scale;           // u8 (decimal), -1 where the format has none
  std::uint32_t flags;          // u8
  std::int32_t extra_flags;     // u8, -1 where the format has none
  std::uint32_t fixed_offset;   // u16
  std::uint32_t length;         // u16
  std::int32_t number_copy;     // u16 written again, -1 where the format has none
  // Where sort order and code page share no bytes with the decimal fields,
  // Jet repeats them on every column, not only on text.
  bool sort_order_on_every_column;
  ConstantFields constants;
};

// The real (physical) and logical index blocks of a table definition.
struct IndexDefLayout {
  std::uint32_t key_slots;        // ten slots of u16 column number, u8 order
  std::uint32_t usage_map;        // row pointer
  std::uint32_t first_page;       // u32
  std::uint32_t flags;            // u8
  std::uint8_t flags_always_set;  // bits Jet sets on every real index
  std::uint32_t logical_number;      // u32
  std::uint32_t logical_real_index;  // u32
  std::uint32_t logical_related;     // u32, 0xFFFFFFFF without a relationship
  std::uint32_t logical_type;        // u8
  ConstantFields real_constants;
  ConstantFields logical_constants;
};

struct TableDefLayout {
  std::uint32_t num_rows;          // u32
  std::uint32_t autonumber;        // u32, last value handed out
  std::uint32_t table_type;        // u8, 'N' user, 'S' system
  std::uint32_t max_cols;          // u16
  std::uint32_t num_var_cols;      // u16
  std::uint32_t num_cols;          // u16
  std::uint32_t num_idx;           // u32
  std::uint32_t num_real_idx;      // u32
  std::uint32_t owned_pages_map;   // row pointer
  std::uint32_t free_space_map;    // row pointer
  std::uint32_t header_end;        // first byte of the variable part
  std::uint32_t real_index_stats_size;
  std::uint32_t real_index_def_size;
  std::uint32_t logical_index_def_size;
  // A one-page definition stores its free space at offset 2; the other
  // format keeps page_constants there.
  bool stores_free_space;
  ConstantFields page_constants;    // on every page of the chain
  ConstantFields header_constants;  // in the definition's header
  IndexDefLayout index;
};

// Where the fields of an index page lie.
struct IndexPageLayout {
  std::size_t previous;       // u32, 0 = none
  std::size_t next;           // u32, 0 = none
  std::size_t tail;           // u32, nodes: the last child
  std::size_t prefix_length;  // u8 or u16
  std::size_t prefix_size;
  std::size_t bitmap;         // bit k: an entry ends k bytes after first_entry
  std::size_t first_entry;
};

struct Format {
  FormatVersion version;
  std::uint32_t page_size;
  // The largest file Access opens: 1 GiB for Jet 3, 2 GiB for Jet 4.
  std::uint64_t max_file_size;

  HeaderLayout header;

  // Data pages.
  std::uint32_t data_row_count_offset;  // u16 slot count; the slot table follows
  std::uint32_t max_row_size;           // largest row body a page may take
  std::uint32_t max_long_value_chunk;   // largest payload of one long-value row

  // Rows.
  std::uint32_t row_count_size;   // bytes of the leading column count
  std::uint32_t row_offset_size;  // bytes per variable-offset entry

  // Text: code-page bytes (unit 1) or UCS-2LE (unit 2), which Jet may store
  // compressed. A Text column's length counts bytes, so holds
  // length / text_unit_size characters.
  std::uint32_t text_unit_size;
  bool text_compression;
  bool has_decimal_type;
  // A descending text key ends with one more byte after the inverted ones.
  bool descending_text_key_terminator;

  // Names: a length of this many bytes, then the text as the format stores
  // it (never compressed).
  std::uint32_t name_length_size;

  // Usage maps: an inline bitmap's usual size as Jet makes it, and the
  // pages one bitmap page of a reference map covers.
  std::uint32_t usual_inline_map_bytes;
  std::uint32_t pages_per_map_page;

  // The length Jet declares for the system tables' Binary columns.
  std::uint16_t system_binary_length;

  TableDefLayout tdef;
  ColumnLayout column;
  IndexPageLayout index_page;

  // The empty data page's free space.
  std::uint32_t empty_data_page_free_space() const {
    return page_size - data_row_count_offset - 2;
  }
};

const Format& jet3_format();
const Format& jet4_format();
const Format& format_for(FormatVersion version);

// Stores `fields` into the structure that starts at `structure`.
void put_constants(std::uint8_t* structure, const ConstantFields& fields);

// The format whose header carries `version_byte`, or nullptr.
const Format* format_of_version_byte(std::uint8_t version_byte);

}  // namespace norv::jet
