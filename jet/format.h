#pragma once

// Everything that differs between Jet 3 and Jet 4 on disk, in one
// descriptor. Format code asks the descriptor; it never tests the version.

#include <cstdint>

#include "jet/database.h"

namespace norv::jet {

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
};

struct Format {
  FormatVersion version;
  std::uint32_t page_size;

  // Header page: the RC4-masked block starts at 0x18.
  std::uint32_t masked_block_length;
  std::uint32_t password_length;  // bytes of the password field at 0x42

  // Data pages.
  std::uint32_t data_row_count_offset;  // u16 slot count; the slot table follows
  std::uint32_t max_row_size;           // largest row body a page may take
  std::uint32_t max_long_value_chunk;   // largest payload of one long-value row

  // Rows.
  std::uint32_t row_count_size;   // bytes of the leading column count
  std::uint32_t row_offset_size;  // bytes per variable-offset entry

  // Names: Jet 3 u8 length + code-page bytes, Jet 4 u16 length + UCS-2LE.
  std::uint32_t name_length_size;
  bool names_are_ucs2;

  // Reference usage maps: pages covered by one bitmap page.
  std::uint32_t pages_per_map_page;

  TableDefLayout tdef;
  ColumnLayout column;

  // The empty data page's free space.
  std::uint32_t empty_data_page_free_space() const {
    return page_size - data_row_count_offset - 2;
  }
};

const Format& jet3_format();
const Format& jet4_format();
const Format& format_for(FormatVersion version);

}  // namespace norv::jet
