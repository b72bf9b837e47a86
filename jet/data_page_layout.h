#pragma once

// A data page taken apart into its rows, to be edited and laid out again.
//
// Laying out keeps every rule a reader relies on: slot numbers and slot
// flags stay (indexes and overflow pointers refer to them), bodies are
// packed from the page end in slot order with no gap, and the free-space
// field equals what the slot table leaves. Bytes outside the row area (the
// header's unknown fields, stale bytes below the lowest row) are kept from
// the original page. Rows before the first changed one keep their place.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/data_page.h"
#include "jet/format.h"

namespace norv::jet {

inline constexpr std::size_t max_rows_per_page = 255;  // row numbers are one byte

class DataPageLayout {
 public:
  // The rows of a parsed page.
  DataPageLayout(const Format& format, const DataPage& page);
  // A new, empty data page of `owner` (a TDEF page, or long_value_owner).
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

}  // namespace norv::jet
