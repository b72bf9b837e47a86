#include "jet/format/format.h"

#include "jet/base/little_endian.h"

namespace norv::jet {

namespace {

constexpr std::uint32_t jet4_magic = 0x0659;        // seen before several Jet 4 structures
constexpr std::uint32_t jet4_index_magic = 0x0783;  // first bytes of a Jet 4 real index
constexpr std::uint32_t jet4_version_text = 0x00302E34;  // "4.0" and its NUL

}  // namespace

const Format& jet3_format() {
  static const Format format{
      .version = FormatVersion::jet3,
      .page_size = 2048,
      .max_file_size = std::uint64_t{1} << 30,
      .header = {.version_byte = 0x00,
                 .masked_block_length = 126,
                 .password_length = 20,
                 .sort_order = 0x3A,
                 .creation_date = std::nullopt,
                 .constants = {{0x38, 1, 0x01}}},
      .data_row_count_offset = 8,
      .max_row_size = 2012,
      .max_long_value_chunk = 2032,
      .row_count_size = 1,
      .row_offset_size = 1,
      .text_unit_size = 1,
      .text_compression = false,
      .has_decimal_type = false,
      .descending_text_key_terminator = false,
      .name_length_size = 1,
      .usual_inline_map_bytes = 128,
      .pages_per_map_page = (2048 - 4) * 8,
      .system_binary_length = 255,
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
               .logical_index_def_size = 20,
               .stores_free_space = false,
               .page_constants = {{2, 1, 'V'}, {3, 1, 'C'}},
               .header_constants = {},
               .index = {.key_slots = 0,
                         .usage_map = 30,
                         .first_page = 34,
                         .flags = 38,
                         .flags_always_set = 0,
                         .logical_number = 0,
                         .logical_real_index = 4,
                         .logical_related = 9,
                         .logical_type = 19,
                         .real_constants = {},
                         .logical_constants = {}}},
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
                 .length = 16,
                 .number_copy = -1,
                 .sort_order_on_every_column = true,
                 .constants = {{7, 2, 0x0001}}},
      .index_page = {8, 12, 16, 20, 1, 22, 0xF8},
  };
  return format;
}

const Format& jet4_format() {
  static const Format format{
      .version = FormatVersion::jet4,
      .page_size = 4096,
      .max_file_size = std::uint64_t{1} << 31,
      .header = {.version_byte = 0x01,
                 .masked_block_length = 128,
                 .password_length = 40,
                 .sort_order = 0x6E,
                 .creation_date = 0x72,
                 .constants = {{0x98, 4, 0x0654}, {0x9C, 4, jet4_version_text}}},
      .data_row_count_offset = 12,
      .max_row_size = 4060,
      .max_long_value_chunk = 4076,
      .row_count_size = 2,
      .row_offset_size = 2,
      .text_unit_size = 2,
      .text_compression = true,
      .has_decimal_type = true,
      .descending_text_key_terminator = true,
      .name_length_size = 2,
      .usual_inline_map_bytes = 64,
      .pages_per_map_page = (4096 - 4) * 8,
      .system_binary_length = 510,
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
               .logical_index_def_size = 28,
               .stores_free_space = true,
               .page_constants = {},
               // 0x18: autonumbering on, as Jet writes it.
               .header_constants = {{0x0C, 4, jet4_magic}, {0x18, 1, 0x01}},
               .index = {.key_slots = 4,
                         .usage_map = 34,
                         .first_page = 38,
                         .flags = 46,
                         .flags_always_set = 0x80,
                         .logical_number = 4,
                         .logical_real_index = 8,
                         .logical_related = 13,
                         .logical_type = 23,
                         .real_constants = {{0, 4, jet4_index_magic}},
                         .logical_constants = {{0, 4, jet4_magic}}}},
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
                 .length = 23,
                 .number_copy = 9,
                 .sort_order_on_every_column = false,
                 .constants = {{1, 4, jet4_magic}}},
      .index_page = {12, 16, 20, 24, 2, 27, 0x1E0},
  };
  return format;
}

const Format& format_for(FormatVersion version) {
  return version == FormatVersion::jet3 ? jet3_format() : jet4_format();
}

void put_constants(std::uint8_t* structure, const ConstantFields& fields) {
  for (const ConstantField& field : fields) {
    std::uint8_t* at = structure + field.offset;
    if (field.size == 1) *at = static_cast<std::uint8_t>(field.value);
    if (field.size == 2) le::put16(at, static_cast<std::uint16_t>(field.value));
    if (field.size == 4) le::put32(at, field.value);
  }
}

const Format* format_of_version_byte(std::uint8_t version_byte) {
  for (const Format* format : {&jet3_format(), &jet4_format()})
    if (format->header.version_byte == version_byte) return format;
  return nullptr;
}

}  // namespace norv::jet
