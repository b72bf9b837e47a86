#pragma once

// Data pages (type 0x01): the slot table, the extent of each row body and
// the slot flags. Table rows, long-value rows and usage-map rows all live on
// such pages. Parsing checks the header, the slot table and every extent, so
// that a DataPage's rows always lie inside the page.

#include <cstdint>
#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace norv::jet {

inline constexpr std::uint8_t data_page_type = 0x01;
inline constexpr std::uint32_t long_value_owner = 0x4C41564C;  // "LVAL"

namespace slot_flags {
inline constexpr std::uint16_t overflow_pointer = 0x4000;  // the body points at the row
inline constexpr std::uint16_t hidden = 0x8000;            // deleted, or an overflow target
inline constexpr std::uint16_t offset_mask = 0x1FFF;
}  // namespace slot_flags

struct RowSlot {
  std::uint16_t entry = 0;  // as stored: offset and flags
  std::uint16_t start = 0;  // first byte of the body within the page
  std::uint16_t end = 0;    // one past the last byte

  std::uint16_t length() const { return static_cast<std::uint16_t>(end - start); }
  bool is_deleted() const { return (entry & 0xC000) == 0xC000; }
  bool is_overflow_pointer() const { return (entry & 0xC000) == slot_flags::overflow_pointer; }
  bool is_overflow_target() const { return (entry & 0xC000) == slot_flags::hidden; }
  // A row a table scan visits: neither deleted nor hidden.
  bool is_visible() const { return (entry & slot_flags::hidden) == 0; }
};

class DataPage {
 public:
  // Throws FormatFault unless `page` is a data page with a consistent slot
  // table.
  static DataPage parse(const Format& format, const Page& page);

  std::uint32_t number() const { return page_.number(); }
  const Page& page() const { return page_; }
  std::uint32_t owner() const { return owner_; }
  bool holds_long_values() const { return owner_ == long_value_owner; }
  std::uint16_t stored_free_space() const { return stored_free_space_; }
  // Free space from the slot table: what stored_free_space() must equal.
  std::uint32_t computed_free_space() const;

  std::size_t row_count() const { return slots_.size(); }
  const std::vector<RowSlot>& slots() const { return slots_; }
  // Row `row`'s slot; a row number past the table is a FormatFault.
  const RowSlot& slot(std::size_t row) const;
  Bytes body(std::size_t row) const;

 private:
  DataPage(const Format& format, Page page) : format_(&format), page_(std::move(page)) {}

  const Format* format_;
  Page page_;
  std::uint32_t owner_ = 0;
  std::uint16_t stored_free_space_ = 0;
  std::vector<RowSlot> slots_;
};

// Reads page `number` as a data page.
DataPage read_data_page(PageFile& pages, const Format& format, std::uint32_t number);

// A row body together with the page image that holds its bytes.
struct RowBody {
  Page page;
  Bytes bytes;
  std::uint32_t owner = 0;  // the page's owner field
};

// The body of the plain row at `where` (a usage map, a long-value row): the
// page must be a data page and the slot neither deleted, hidden nor a
// pointer.
RowBody read_row(PageFile& pages, const Format& format, RowPointer where);

// Row `row` of a table's data page, which must be visible, with an overflow
// pointer followed. The target must be a hidden row on a data page of the
// same owner: one hop, so a pointer to another pointer or back to itself is
// a FormatFault rather than a loop.
RowBody resolve_row(PageFile& pages, const Format& format, const DataPage& page,
                    std::size_t row);

}  // namespace norv::jet
