#include "jet/index_writer.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/index_page.h"
#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

bool entry_less(const IndexEntry& a, const IndexEntry& b) {
  if (a.key != b.key) return a.key < b.key;
  return a.row.to_u32() < b.row.to_u32();
}

}  // namespace

std::vector<std::uint8_t> build_index_leaf(const Format& format, std::uint32_t owner,
                                           std::vector<IndexEntry> entries,
                                           std::string_view where) {
  std::sort(entries.begin(), entries.end(), entry_less);
  const IndexPageLayout& layout = index_page_layout(format);
  std::vector<std::uint8_t> page(format.page_size, 0);
  page[0] = index_leaf_page_type;
  page[1] = 0x01;
  le::put32(page.data() + 4, owner);
  std::size_t at = layout.first_entry;
  for (const IndexEntry& entry : entries) {
    std::size_t size = entry.key.size() + 4;
    if (at + size > page.size() || (at + size - layout.first_entry) / 8 >= layout.first_entry - layout.bitmap)
      throw NotSupportedError(fmt::format(
          "{}: the index needs more than one index page ({} entries); the creator writes "
          "indexes of one page only",
          where, entries.size()));
    std::copy(entry.key.begin(), entry.key.end(), page.begin() + static_cast<std::ptrdiff_t>(at));
    std::uint32_t row_page = entry.row.page;
    page[at + entry.key.size()] = static_cast<std::uint8_t>(row_page >> 16);
    page[at + entry.key.size() + 1] = static_cast<std::uint8_t>(row_page >> 8);
    page[at + entry.key.size() + 2] = static_cast<std::uint8_t>(row_page);
    page[at + entry.key.size() + 3] = entry.row.row;
    at += size;
    std::size_t end_bit = at - layout.first_entry;
    page[layout.bitmap + end_bit / 8] |= static_cast<std::uint8_t>(1u << (end_bit % 8));
  }
  le::put16(page.data() + 2, static_cast<std::uint16_t>(page.size() - at));
  return page;
}

std::uint32_t count_distinct_keys(std::vector<IndexEntry> entries) {
  std::sort(entries.begin(), entries.end(), entry_less);
  std::uint32_t distinct = 0;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (i == 0 || entries[i].key != entries[i - 1].key) ++distinct;
  return distinct;
}

}  // namespace norv::jet
