#include "jet/usage_map.h"

#include <fmt/format.h>

#include "jet/data_page.h"
#include "jet/format_fault.h"

namespace norv::jet {

namespace {

constexpr std::size_t inline_start_offset = 1;
constexpr std::size_t inline_bitmap_offset = 5;
constexpr std::size_t bitmap_page_header_size = 4;

// Appends start + i for every set bit i of bitmap (LSB first).
void collect_set_bits(Bytes bitmap, std::uint64_t start, std::uint32_t page_count, MapSense sense,
                      std::vector<std::uint32_t>& out) {
  for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
    if (bitmap[byte] == 0) continue;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if ((bitmap[byte] >> bit & 1) == 0) continue;
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
  UsageMap map{UsageMapKind::inline_bitmap, {}};
  const std::uint32_t start = row.u32(inline_start_offset);
  collect_set_bits(row.slice(inline_bitmap_offset, row.size() - inline_bitmap_offset), start,
                   pages.page_count(), sense, map.pages);
  return map;
}

UsageMap decode_reference(PageFile& pages, const Format& format, ByteReader row,
                          MapSense sense) {
  UsageMap map{UsageMapKind::reference, {}};
  const std::size_t slots = (row.size() - 1) / 4;
  for (std::size_t k = 0; k < slots; ++k) {
    const std::uint32_t bitmap_page = row.u32(1 + 4 * k);
    if (bitmap_page == 0) continue;
    if (bitmap_page >= pages.page_count() && sense == MapSense::free) continue;
    const Page page = pages.page(bitmap_page);
    if (page.type() != usage_bitmap_page_type)
      throw_format_fault(fmt::format("usage map page {} is not a bitmap page (type {:#04x})",
                                     bitmap_page, page.type()));
    collect_set_bits(page.bytes().subspan(bitmap_page_header_size),
                     std::uint64_t{k} * format.pages_per_map_page, pages.page_count(), sense,
                     map.pages);
  }
  return map;
}

}  // namespace

UsageMap decode_usage_map(PageFile& pages, const Format& format, Bytes map_row,
                          MapSense sense) {
  ByteReader row(map_row, "a usage map");
  switch (row.u8(0)) {
    case 0: return decode_inline(pages, row, sense);
    case 1: return decode_reference(pages, format, row, sense);
    default:
      throw_format_fault(fmt::format("a usage map has the unknown type {:#04x}", map_row[0]));
  }
}

UsageMap read_usage_map(PageFile& pages, const Format& format, RowPointer where,
                        MapSense sense) {
  RowBody row = read_row(pages, format, where);
  return decode_usage_map(pages, format, row.bytes, sense);
}

}  // namespace norv::jet

