#include "jet/usage_map_marking.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/format_fault.h"
#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t inline_bitmap_offset = 5;
constexpr std::size_t bitmap_page_header_size = 4;

void set_bit(std::uint8_t* bitmap, std::uint64_t bit, bool value) {
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  if (value)
    bitmap[bit / 8] |= mask;
  else
    bitmap[bit / 8] &= static_cast<std::uint8_t>(~mask);
}

[[noreturn]] void cannot_record(std::uint32_t page, std::string_view why) {
  throw NotSupportedError(fmt::format(
      "the table's page map cannot record the new page {} ({}); compact the database in "
      "Access and run again",
      page, why));
}

// An inline map: the bit of `page` inside the window, or a window moved to
// start at the lowest used page when the map's pages no longer fit it.
std::vector<std::uint32_t> set_pages(const std::vector<std::uint8_t>& row) {
  std::vector<std::uint32_t> out;
  const std::uint32_t start = le::get32(row.data() + 1);
  for (std::size_t i = 0; i < (row.size() - inline_bitmap_offset) * 8; ++i)
    if ((row[inline_bitmap_offset + i / 8] >> (i % 8) & 1) != 0)
      out.push_back(static_cast<std::uint32_t>(start + i));
  return out;
}

std::vector<std::uint8_t> mark_inline(std::vector<std::uint8_t> row, std::uint32_t page,
                                      MapSense sense) {
  const std::uint64_t bits = (row.size() - inline_bitmap_offset) * 8;
  const std::uint32_t start = le::get32(row.data() + 1);
  if (page >= start && page - start < bits) {
    set_bit(row.data() + inline_bitmap_offset, page - start, sense == MapSense::used);
    return row;
  }
  if (sense == MapSense::free) return row;

  std::vector<std::uint32_t> used = set_pages(row);
  used.push_back(page);
  const std::uint32_t lowest = *std::min_element(used.begin(), used.end()) / 8 * 8;
  const std::uint32_t highest = *std::max_element(used.begin(), used.end());
  if (highest - lowest >= bits) cannot_record(page, "its pages lie too far apart");
  le::put32(row.data() + 1, lowest);
  std::fill(row.begin() + inline_bitmap_offset, row.end(), 0);
  for (std::uint32_t p : used) set_bit(row.data() + inline_bitmap_offset, p - lowest, true);
  return row;
}

void mark_reference(UpdatePlan& plan, const std::vector<std::uint8_t>& row, std::uint32_t page,
                    MapSense sense, WriteStage stage) {
  const std::size_t slot = page / plan.format().pages_per_map_page;
  const std::uint64_t bit = page % plan.format().pages_per_map_page;
  const std::uint32_t bitmap_page =
      1 + 4 * slot + 4 <= row.size() ? le::get32(row.data() + 1 + 4 * slot) : 0;
  if (bitmap_page == 0 || bitmap_page >= plan.pages().page_count()) {
    if (sense == MapSense::free) return;  // outside the global map: nothing to clear
    cannot_record(page, "it needs a new bitmap page");
  }
  std::vector<std::uint8_t>& bytes = plan.raw_page(bitmap_page, stage);
  set_bit(bytes.data() + bitmap_page_header_size, bit, sense == MapSense::used);
}

}  // namespace

void mark_page_used(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                    WriteStage stage) {
  const DataPageLayout& holder = plan.data_page(where.page, stage);
  if (where.row >= holder.row_count() || (holder.flags(where.row) & 0xC000) != 0)
    throw_format_fault(
        fmt::format("the usage map at row {} of page {} is missing", where.row, where.page));
  std::vector<std::uint8_t> row = holder.body(where.row);
  if (row.size() <= inline_bitmap_offset)
    throw_format_fault(fmt::format("the usage map at row {} of page {} is too short", where.row,
                                   where.page));
  // The map as stored (bitmap pages included) is checked before any edit.
  read_usage_map(plan.pages(), plan.format(), where, sense);
  if (row.at(0) == static_cast<std::uint8_t>(UsageMapKind::reference)) {
    mark_reference(plan, row, page, sense, stage);
    return;
  }
  std::vector<std::uint8_t> marked = mark_inline(row, page, sense);
  if (marked != row) plan.replace_row(where.page, where.row, std::move(marked), stage);
}

}  // namespace norv::jet
