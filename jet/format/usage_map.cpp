#include "jet/format/usage_map.h"

#include <fmt/format.h>

#include <algorithm>
#include <optional>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"
#include "jet/format/data_page.h"
#include "jet/format/page_header.h"
#include "jet/format/usage_map_row.h"
#include "platform/error.h"

namespace norv::jet {

namespace usage_map_row {

std::vector<std::uint32_t> set_pages(const std::vector<std::uint8_t>& row) {
  std::vector<std::uint32_t> out;
  const std::uint32_t start = le::get32(row.data() + inline_start_offset);
  for (std::size_t i = 0; i < (row.size() - inline_bitmap_offset) * 8; ++i)
    if (bit_is_set(row.data() + inline_bitmap_offset, i))
      out.push_back(static_cast<std::uint32_t>(start + i));
  return out;
}

std::vector<std::uint8_t> bitmap_page_image(const Format& format, std::uint32_t first,
                                            const std::vector<std::uint32_t>& pages) {
  std::vector<std::uint8_t> image(format.page_size, 0);
  write_page_header(image, usage_bitmap_page_type);
  for (std::uint32_t page : pages) set_bit(image.data() + bitmap_page_header_size, page - first);
  return image;
}

}  // namespace usage_map_row

using namespace usage_map_row;

namespace {

// Decoding.

// Appends start + i for every set bit i of bitmap.
void collect_set_bits(Bytes bitmap, std::uint64_t start, std::uint32_t page_count, MapSense sense,
                      std::vector<std::uint32_t>& out) {
  for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
    if (bitmap[byte] == 0) continue;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (!bit_is_set(bitmap.data() + byte, bit)) continue;
      const std::uint64_t page = start + byte * 8 + bit;
      if (page >= page_count && sense == MapSense::free) return;
      if (page >= page_count)
        throw_format_fault(fmt::format("a usage map lists page {}, past the end of the file "
                                       "({} pages)",
                                       page, page_count));
      out.push_back(static_cast<std::uint32_t>(page));
    }
  }
}

UsageMap decode_inline(PageFile& pages, ByteReader row, MapSense sense) {
  UsageMap map;
  map.kind = UsageMapKind::inline_bitmap;
  const std::uint32_t start = row.u32(inline_start_offset);
  collect_set_bits(row.slice(inline_bitmap_offset, row.size() - inline_bitmap_offset), start,
                   pages.page_count(), sense, map.pages);
  return map;
}

UsageMap decode_reference(PageFile& pages, const Format& format, ByteReader row,
                          MapSense sense) {
  UsageMap map;
  map.kind = UsageMapKind::reference;
  const std::size_t slots = (row.size() - reference_slots_offset) / reference_slot_size;
  for (std::size_t k = 0; k < slots; ++k) {
    const std::uint32_t bitmap_page = row.u32(reference_slot(k));
    if (bitmap_page == 0) continue;
    if (bitmap_page >= pages.page_count() && sense == MapSense::free) continue;
    const Page page = pages.page(bitmap_page);
    if (page.type() != usage_bitmap_page_type)
      throw_format_fault(fmt::format("usage map page {} is not a bitmap page (type {:#04x})",
                                     bitmap_page, page.type()));
    map.bitmap_pages.push_back(bitmap_page);
    collect_set_bits(page.bytes().subspan(bitmap_page_header_size),
                     std::uint64_t{k} * format.pages_per_map_page, pages.page_count(), sense,
                     map.pages);
  }
  return map;
}

// Building new maps.

// The bitmap bytes of an inline map covering `covered_pages` pages, or
// nothing when such a row would not fit a data page. Jet's own inline maps
// are never smaller than the format's usual size.
std::optional<std::size_t> inline_bitmap_bytes(const Format& format, std::uint32_t covered_pages) {
  std::size_t size = std::max<std::size_t>(format.usual_inline_map_bytes, (covered_pages + 7u) / 8u);
  if (inline_bitmap_offset + size + 2 > format.empty_data_page_free_space()) return std::nullopt;
  return size;
}

// An inline map whose bitmap starts at page `first`.
std::vector<std::uint8_t> inline_map_row(std::size_t bitmap_bytes, std::uint32_t first,
                                         const std::vector<std::uint32_t>& pages) {
  std::vector<std::uint8_t> row(inline_bitmap_offset + bitmap_bytes, 0);
  row[kind_offset] = static_cast<std::uint8_t>(UsageMapKind::inline_bitmap);
  le::put32(row.data() + inline_start_offset, first);
  for (std::uint32_t page : pages) set_bit(row.data() + inline_bitmap_offset, page - first);
  return row;
}

// Row of a reference map with `slots` slots, all empty.
std::vector<std::uint8_t> reference_map_row(std::uint32_t slots) {
  std::vector<std::uint8_t> row(reference_slot(slots), 0);
  row[kind_offset] = static_cast<std::uint8_t>(UsageMapKind::reference);
  return row;
}

// A new bitmap page, its number stored in `slot` of the reference map `row`.
std::uint8_t* add_bitmap_page(const Format& format, std::vector<std::uint8_t>& row,
                              std::uint32_t slot, PageImages& images) {
  const std::uint32_t number = images.allocate();
  std::vector<std::uint8_t>& page = images[number];
  page = bitmap_page_image(format, 0, {});
  le::put32(row.data() + reference_slot(slot), number);
  return page.data() + bitmap_page_header_size;
}

}  // namespace

UsageMap decode_usage_map(PageFile& pages, const Format& format, Bytes map_row,
                          MapSense sense) {
  ByteReader row(map_row, "a usage map");
  switch (row.u8(kind_offset)) {
    case static_cast<std::uint8_t>(UsageMapKind::inline_bitmap):
      return decode_inline(pages, row, sense);
    case static_cast<std::uint8_t>(UsageMapKind::reference):
      return decode_reference(pages, format, row, sense);
    default:
      throw_format_fault(fmt::format("a usage map has the unknown type {:#04x}", map_row[0]));
  }
}

UsageMap read_usage_map(PageFile& pages, const Format& format, RowPointer where,
                        MapSense sense) {
  RowBody row = read_row(pages, format, where);
  return decode_usage_map(pages, format, row.bytes, sense);
}

std::vector<std::uint8_t> build_usage_map(const Format& format,
                                          const std::vector<std::uint32_t>& pages,
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
      bitmap = add_bitmap_page(format, row, slot, images);
      slot_of_bitmap = slot;
    }
    set_bit(bitmap, page % per_page);
  }
  return row;
}

std::vector<std::uint8_t> build_global_usage_map(const Format& format, PageImages& images) {
  if (auto bytes = inline_bitmap_bytes(format, images.count())) {
    std::vector<std::uint8_t> row = inline_map_row(*bytes, 0, {});
    const auto covered = static_cast<std::uint32_t>(*bytes * 8);
    for (std::uint32_t page = images.count(); page < covered; ++page)
      set_bit(row.data() + inline_bitmap_offset, page);
    return row;
  }
  // Slots before the last stay empty: every page they cover is in use. The
  // last one's bitmap page is itself the file's last page.
  const std::uint32_t per_page = format.pages_per_map_page;
  const std::uint32_t end_of_file = images.count() + 1;
  const std::uint32_t last_slot = end_of_file / per_page;
  std::vector<std::uint8_t> row = reference_map_row(last_slot + 1);
  std::uint8_t* bitmap = add_bitmap_page(format, row, last_slot, images);
  for (std::uint32_t index = end_of_file % per_page; index < per_page; ++index)
    set_bit(bitmap, index);
  return row;
}

}  // namespace norv::jet
