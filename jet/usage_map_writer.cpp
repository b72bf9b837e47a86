#include "jet/usage_map_writer.h"

#include <algorithm>
#include <optional>

#include "jet/little_endian.h"
#include "jet/usage_map.h"

namespace norv::jet {

namespace {

constexpr std::size_t map_header_size = 5;  // type byte, u32 first page
constexpr std::uint8_t inline_map = 0;
constexpr std::uint8_t reference_map = 1;

// The bitmap bytes of an inline map covering `covered_pages` pages, or
// nothing when such a row would not fit a data page. Jet's own inline maps
// are never smaller than the format's usual size.
std::optional<std::size_t> inline_bitmap_bytes(const Format& format, std::uint32_t covered_pages) {
  std::size_t size = std::max<std::size_t>(format.usual_inline_map_bytes, (covered_pages + 7u) / 8u);
  if (map_header_size + size + 2 > format.empty_data_page_free_space()) return std::nullopt;
  return size;
}

void set_bit(std::uint8_t* bitmap, std::uint32_t index) {
  bitmap[index / 8] |= static_cast<std::uint8_t>(1u << (index % 8));
}

// An inline map whose bitmap starts at page `first`.
std::vector<std::uint8_t> inline_map_row(std::size_t bitmap_bytes, std::uint32_t first,
                                         const std::vector<std::uint32_t>& pages) {
  std::vector<std::uint8_t> row(map_header_size + bitmap_bytes, 0);
  row[0] = inline_map;
  le::put32(row.data() + 1, first);
  for (std::uint32_t page : pages) set_bit(row.data() + map_header_size, page - first);
  return row;
}

// Row of a reference map with `slots` slots, all empty.
std::vector<std::uint8_t> reference_map_row(std::uint32_t slots) {
  std::vector<std::uint8_t> row(1 + 4 * std::size_t{slots}, 0);
  row[0] = reference_map;
  return row;
}

// A new bitmap page, its number stored in `slot` of the reference map `row`.
std::uint8_t* add_bitmap_page(std::vector<std::uint8_t>& row, std::uint32_t slot,
                              PageImages& images) {
  const std::uint32_t number = images.allocate();
  std::vector<std::uint8_t>& page = images[number];
  page[0] = usage_bitmap_page_type;
  page[1] = 0x01;
  le::put32(row.data() + 1 + 4 * std::size_t{slot}, number);
  return page.data() + 4;
}

}  // namespace

std::vector<std::uint8_t> usage_map(const Format& format, const std::vector<std::uint32_t>& pages,
                                    std::uint32_t covered_pages, PageImages& images) {
  if (auto bytes = inline_bitmap_bytes(format, covered_pages))
    return inline_map_row(*bytes, 0, pages);
  // In a large file, a table whose pages lie close together still gets an
  // inline map, its window starting at its first page, as Jet makes them.
  if (pages.empty()) return inline_map_row(*inline_bitmap_bytes(format, 0), 0, pages);
  const auto [lowest, highest] = std::minmax_element(pages.begin(), pages.end());
  if (auto bytes = inline_bitmap_bytes(format, *highest - *lowest + 1))
    return inline_map_row(*bytes, *lowest, pages);

  const std::uint32_t per_page = format.pages_per_map_page;
  std::vector<std::uint8_t> row = reference_map_row((covered_pages + per_page - 1) / per_page);
  std::vector<std::uint32_t> sorted = pages;
  std::sort(sorted.begin(), sorted.end());
  std::uint8_t* bitmap = nullptr;
  std::uint32_t slot_of_bitmap = 0;
  for (std::uint32_t page : sorted) {
    const std::uint32_t slot = page / per_page;
    if (bitmap == nullptr || slot != slot_of_bitmap) {
      bitmap = add_bitmap_page(row, slot, images);
      slot_of_bitmap = slot;
    }
    set_bit(bitmap, page % per_page);
  }
  return row;
}

std::vector<std::uint8_t> global_usage_map(const Format& format, PageImages& images) {
  if (auto bytes = inline_bitmap_bytes(format, images.count())) {
    std::vector<std::uint8_t> row = inline_map_row(*bytes, 0, {});
    const auto covered = static_cast<std::uint32_t>(*bytes * 8);
    for (std::uint32_t page = images.count(); page < covered; ++page)
      set_bit(row.data() + map_header_size, page);
    return row;
  }
  // Slots before the last stay empty: every page they cover is in use. The
  // last one's bitmap page is itself the file's last page.
  const std::uint32_t per_page = format.pages_per_map_page;
  const std::uint32_t end_of_file = images.count() + 1;
  const std::uint32_t last_slot = end_of_file / per_page;
  std::vector<std::uint8_t> row = reference_map_row(last_slot + 1);
  std::uint8_t* bitmap = add_bitmap_page(row, last_slot, images);
  for (std::uint32_t index = end_of_file % per_page; index < per_page; ++index)
    set_bit(bitmap, index);
  return row;
}

}  // namespace norv::jet
