#include "jet/data_page.h"

#include <fmt/format.h>

#include "jet/format_fault.h"

namespace norv::jet {

namespace {

constexpr std::size_t free_space_offset = 2;
constexpr std::size_t owner_offset = 4;

std::string describe(RowPointer where) {
  return fmt::format("row {} of page {}", where.row, where.page);
}

}  // namespace

DataPage DataPage::parse(const Format& format, const Page& page) {
  const Bytes bytes = page.bytes();
  if (bytes[0] != data_page_type || bytes[1] != 0x01)
    throw_format_fault(fmt::format("page {} is not a data page (type {:#04x})", page.number(),
                                   bytes[0]));
  DataPage parsed(format, page);
  ByteReader reader(bytes, "a data page");
  parsed.stored_free_space_ = reader.u16(free_space_offset);
  parsed.owner_ = reader.u32(owner_offset);

  const std::size_t count = reader.u16(format.data_row_count_offset);
  const std::size_t table_end = format.data_row_count_offset + 2 + 2 * count;
  if (table_end > bytes.size())
    throw_format_fault(fmt::format("page {} claims {} rows, more than a page can hold",
                                   page.number(), count));
  parsed.slots_.reserve(count);
  std::size_t end = bytes.size();
  for (std::size_t i = 0; i < count; ++i) {
    RowSlot slot;
    slot.entry = reader.u16(format.data_row_count_offset + 2 + 2 * i);
    slot.start = static_cast<std::uint16_t>(slot.entry & slot_flags::offset_mask);
    slot.end = static_cast<std::uint16_t>(end);
    if (slot.start < table_end || slot.start > end)
      throw_format_fault(fmt::format("row {} of page {} lies outside the page's row area", i,
                                     page.number()));
    parsed.slots_.push_back(slot);
    end = slot.start;
  }
  return parsed;
}

std::uint32_t DataPage::computed_free_space() const {
  const std::size_t lowest = slots_.empty() ? format_->page_size : slots_.back().start;
  return static_cast<std::uint32_t>(lowest - (format_->data_row_count_offset + 2) -
                                    2 * slots_.size());
}

const RowSlot& DataPage::slot(std::size_t row) const {
  if (row >= slots_.size())
    throw_format_fault(fmt::format("row {} of page {} does not exist (the page has {} rows)", row,
                                   number(), slots_.size()));
  return slots_[row];
}

Bytes DataPage::body(std::size_t row) const {
  const RowSlot& s = slot(row);
  return page_.bytes().subspan(s.start, s.length());
}

DataPage read_data_page(PageFile& pages, const Format& format, std::uint32_t number) {
  return DataPage::parse(format, pages.page(number));
}

RowBody read_row(PageFile& pages, const Format& format, RowPointer where) {
  DataPage page = read_data_page(pages, format, where.page);
  if ((page.slot(where.row).entry & 0xC000) != 0)
    throw_format_fault(describe(where) + " is deleted or not a plain row");
  return {page.page(), page.body(where.row), page.owner()};
}

RowBody resolve_row(PageFile& pages, const Format& format, const DataPage& page,
                    std::size_t row) {
  const RowSlot& slot = page.slot(row);
  if (!slot.is_overflow_pointer()) return {page.page(), page.body(row), page.owner()};

  ByteReader pointer(page.body(row), "an overflow pointer");
  const RowPointer target{pointer.u24(1), pointer.u8(0)};
  DataPage target_page = read_data_page(pages, format, target.page);
  if (target_page.owner() != page.owner() || !target_page.slot(target.row).is_overflow_target())
    throw_format_fault(fmt::format("row {} of page {} points at {}, which is not its overflow row",
                                   row, page.number(), describe(target)));
  return {target_page.page(), target_page.body(target.row), target_page.owner()};
}

}  // namespace norv::jet
