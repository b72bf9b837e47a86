#pragma once

// Fills data pages (type 0x01) of one owner with rows: bodies packed down
// from the page end in slot order, the slot table and the free-space field
// kept exact. A row that does not fit the current page starts a new one.

#include <cstdint>
#include <span>
#include <vector>

#include "jet/format.h"
#include "jet/page_images.h"
#include "jet/table_def.h"

namespace norv::jet {

// Writes the header of an empty data page into `page`.
void init_data_page(const Format& format, std::vector<std::uint8_t>& page, std::uint32_t owner);

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
  const std::vector<std::uint32_t>& pages() const { return pages_; }

  // Pages that still have room for another small row.
  std::vector<std::uint32_t> pages_with_room() const;

 private:
  std::uint16_t free_space(std::uint32_t page) const;
  void start_page();

  const Format& format_;
  PageImages& images_;
  std::uint32_t owner_;
  std::vector<std::uint32_t> pages_;
};

// Free space of a data page as its header stores it.
std::uint16_t data_page_free_space(const std::vector<std::uint8_t>& page);

}  // namespace norv::jet
