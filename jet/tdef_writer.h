#pragma once

// Table definitions as the creator writes them: the header counts, column
// definitions and names, one real index per logical index, no long-value
// column maps. A definition longer than a page continues on further TDEF
// pages.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "jet/format.h"
#include "jet/page_images.h"
#include "jet/table_def.h"
#include "jet/text_codec.h"

namespace norv::jet {

namespace index_flags {
inline constexpr std::uint8_t unique = 0x01;
inline constexpr std::uint8_t required = 0x08;
}  // namespace index_flags

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

// The logical definition buffer (4.1: as if the pages were concatenated
// without their continuation headers). Its size does not depend on the
// pointers in `table`, so a first call with placeholders tells how many
// pages to allocate. Names that cannot be stored are an InvalidArgumentError.
std::vector<std::uint8_t> build_tdef_buffer(const Format& format, const TableLayout& table,
                                            const TextCodec& text);

// Pages a buffer of `size` bytes needs.
std::size_t tdef_page_count(const Format& format, std::size_t size);

// Writes `buffer` into the pages `numbers` (tdef_page_count of them), first
// page first, chaining them.
void write_tdef_pages(const Format& format, std::span<const std::uint8_t> buffer,
                      std::span<const std::uint32_t> numbers, PageImages& pages);

}  // namespace norv::jet
