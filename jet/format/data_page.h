#pragma once

// Data pages (type 0x01): the slot table, the extent of each row body and
// the slot flags. Table rows, long-value rows and usage-map rows all live on
// such pages. Reading (DataPage), editing (DataPageLayout) and the
// creator's filling of new pages (DataPageWriter) share one description of
// the page, so that every page the engine writes is one it reads back.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "jet/base/bytes.h"
#include "jet/format/format.h"
#include "jet/format/row_pointer.h"
#include "jet/pager/page_file.h"
#include "jet/pager/page_images.h"

namespace norv::jet {

inline constexpr std::uint8_t data_page_type = 0x01;
inline constexpr std::uint32_t long_value_owner = 0x4C41564C;  // "LVAL"
inline constexpr std::size_t max_rows_per_page = 255;          // row numbers are one byte

namespace slot_flags {
inline constexpr std::uint16_t overflow_pointer = 0x4000;  // the body points at the row
inline constexpr std::uint16_t hidden = 0x8000;            // deleted, or an overflow target
inline constexpr std::uint16_t deleted = overflow_pointer | hidden;
inline constexpr std::uint16_t mask = overflow_pointer | hidden;
inline constexpr std::uint16_t offset_mask = 0x1FFF;
}  // namespace slot_flags

// A row that is neither deleted, hidden nor a pointer: a usage map, a
// long-value row, a table row stored where its slot says.
inline bool is_plain_row(std::uint16_t flags) { return (flags & slot_flags::mask) == 0; }

struct RowSlot {
  std::uint16_t entry = 0;  // as stored: offset and flags
  std::uint16_t start = 0;  // first byte of the body within the page
  std::uint16_t end = 0;    // one past the last byte

  std::uint16_t flags() const { return static_cast<std::uint16_t>(entry & slot_flags::mask); }
  std::uint16_t length() const { return static_cast<std::uint16_t>(end - start); }
  bool is_deleted() const { return flags() == slot_flags::deleted; }
  bool is_overflow_pointer() const { return flags() == slot_flags::overflow_pointer; }
  bool is_overflow_target() const { return flags() == slot_flags::hidden; }
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

// A data page taken apart into its rows, to be edited and laid out again.
//
// Laying out keeps every rule a reader relies on: slot numbers and slot
// flags stay (indexes and overflow pointers refer to them), bodies are
// packed from the page end in slot order with no gap, and the free-space
// field equals what the slot table leaves. Bytes outside the row area (the
// header's unknown fields, stale bytes below the lowest row) are kept from
// the original page. Rows before the first changed one keep their place.
class DataPageLayout {
 public:
  // The rows of a parsed page.
  DataPageLayout(const Format& format, const DataPage& page);
  // A new, empty data page of `owner` (a TDEF page, long_value_owner, 0 for
  // usage maps).
  DataPageLayout(const Format& format, std::uint32_t page_number, std::uint32_t owner);

  std::uint32_t number() const { return number_; }
  std::size_t row_count() const { return rows_.size(); }
  std::uint16_t flags(std::size_t row) const { return rows_.at(row).flags; }
  const std::vector<std::uint8_t>& body(std::size_t row) const { return rows_.at(row).body; }

  // Bytes left between the slot table and the lowest row (may be negative
  // after an edit that does not fit; image() refuses such a layout).
  std::ptrdiff_t free_space() const;
  bool fits() const { return free_space() >= 0; }
  // Whether a new row of `body_size` bytes (and its slot) would fit.
  bool has_room_for(std::size_t body_size) const;

  void replace_body(std::size_t row, std::vector<std::uint8_t> body);
  void set_flags(std::size_t row, std::uint16_t flags);
  // Adds a row in a new slot and returns its row number.
  std::size_t append(std::vector<std::uint8_t> body, std::uint16_t flags);

  // The page as it will be written. Throws InvalidArgumentError when the
  // rows do not fit; the caller has checked fits(). The result is parsed
  // again and compared with this layout row by row before it is returned.
  std::vector<std::uint8_t> image() const;

 private:
  struct Row {
    std::uint16_t flags = 0;
    std::vector<std::uint8_t> body;
  };

  const Format* format_;
  std::uint32_t number_;
  std::vector<std::uint8_t> original_;
  std::vector<Row> rows_;
};

// Fills new data pages of one owner with rows, for the creator: a row that
// does not fit the current page starts a new one. Each page is laid out by
// DataPageLayout.
class DataPageWriter {
 public:
  // `owner`: the TDEF page of the table, long_value_owner, 0 for usage maps.
  DataPageWriter(const Format& format, PageImages& pages, std::uint32_t owner);

  // Starts with the already allocated page `first` instead of a new one
  // (page 1, the global map, is written last, when the page count is known).
  DataPageWriter(const Format& format, PageImages& pages, std::uint32_t owner, std::uint32_t first);

  // Stores `row` and returns where. A row larger than an empty page holds
  // is an InvalidArgumentError.
  RowPointer add(std::span<const std::uint8_t> row);

  // The pages written so far, ascending.
  std::vector<std::uint32_t> pages() const;

  // Pages that still have room for another small row.
  std::vector<std::uint32_t> pages_with_room() const;

 private:
  void start_page(std::uint32_t number);

  const Format& format_;
  PageImages& images_;
  std::uint32_t owner_;
  std::vector<DataPageLayout> layouts_;
};

}  // namespace norv::jet
