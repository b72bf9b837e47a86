#include "jet/format.h"

namespace norv::jet {

const Format& jet3_format() {
  static const Format format{
      .version = FormatVersion::jet3,
      .page_size = 2048,
      .masked_block_length = 126,
      .password_length = 20,
      .data_row_count_offset = 8,
      .max_row_size = 2012,
      .max_long_value_chunk = 2032,
      .row_count_size = 1,
      .row_offset_size = 1,
      .name_length_size = 1,
      .names_are_ucs2 = false,
      .pages_per_map_page = (2048 - 4) * 8,
      .tdef = {.num_rows = 0x0C,
               .autonumber = 0x10,
               .table_type = 0x14,
               .max_cols = 0x15,
               .num_var_cols = 0x17,
               .num_cols = 0x19,
               .num_idx = 0x1B,
               .num_real_idx = 0x1F,
               .owned_pages_map = 0x23,
               .free_space_map = 0x27,
               .header_end = 0x2B,
               .real_index_stats_size = 8,
               .real_index_def_size = 39,
               .logical_index_def_size = 20},
      .column = {.size = 18,
                 .type = 0,
                 .number = 1,
                 .var_index = 3,
                 .sort_order = 9,
                 .code_page = 11,
                 .sort_version = -1,
                 .precision = -1,
                 .scale = -1,
                 .flags = 13,
                 .extra_flags = -1,
                 .fixed_offset = 14,
                 .length = 16},
  };
  return format;
}

const Format& jet4_format() {
  static const Format format{
      .version = FormatVersion::jet4,
      .page_size = 4096,
      .masked_block_length = 128,
      .password_length = 40,
      .data_row_count_offset = 12,
      .max_row_size = 4060,
      .max_long_value_chunk = 4076,
      .row_count_size = 2,
      .row_offset_size = 2,
      .name_length_size = 2,
      .names_are_ucs2 = true,
      .pages_per_map_page = (4096 - 4) * 8,
      .tdef = {.num_rows = 0x10,
               .autonumber = 0x14,
               .table_type = 0x28,
               .max_cols = 0x29,
               .num_var_cols = 0x2B,
               .num_cols = 0x2D,
               .num_idx = 0x2F,
               .num_real_idx = 0x33,
               .owned_pages_map = 0x37,
               .free_space_map = 0x3B,
               .header_end = 0x3F,
               .real_index_stats_size = 12,
               .real_index_def_size = 52,
               .logical_index_def_size = 28},
      .column = {.size = 25,
                 .type = 0,
                 .number = 5,
                 .var_index = 7,
                 .sort_order = 11,
                 .code_page = -1,
                 .sort_version = 14,
                 .precision = 11,
                 .scale = 12,
                 .flags = 15,
                 .extra_flags = 16,
                 .fixed_offset = 21,
                 .length = 23},
  };
  return format;
}

const Format& format_for(FormatVersion version) {
  return version == FormatVersion::jet3 ? jet3_format() : jet4_format();
}

}  // namespace norv::jet
