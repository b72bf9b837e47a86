#include "jet/data_page.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/format_fault.h"
#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

// The page header: type, a constant 0x01, the free space and the owner.
// The row count follows at Format::data_row_count_offset, then the slot
// table, one u16 per row: the body's offset with the slot flags.
constexpr std::size_t page_type_offset = 0;
constexpr std::size_t page_constant_offset = 1;
constexpr std::uint8_t page_constant = 0x01;
constexpr std::size_t free_space_offset = 2;
constexpr std::size_t owner_offset = 4;
constexpr std::size_t slot_size = 2;
// Rows smaller than this make a page count as full for the creator's maps.
constexpr std::size_t small_row = 32;

std::size_t slot_table(const Format& format) { return format.data_row_count_offset + 2; }

std::string describe(RowPointer where) {
  return fmt::format("row {} of page {}", where.row, where.page);
}

[[noreturn]] void layout_fault(std::uint32_t page, std::string_view what) {
  throw_internal_error(fmt::format("page {} cannot be laid out: {}", page, what));
}

}  // namespace

DataPage DataPage::parse(const Format& format, const Page& page) {
  const Bytes bytes = page.bytes();
  if (bytes[page_type_offset] != data_page_type || bytes[page_constant_offset] != page_constant)
    throw_format_fault(fmt::format("page {} is not a data page (type {:#04x})", page.number(),
                                   bytes[page_type_offset]));
  DataPage parsed(format, page);
  ByteReader reader(bytes, "a data page");
  parsed.stored_free_space_ = reader.u16(free_space_offset);
  parsed.owner_ = reader.u32(owner_offset);

  const std::size_t count = reader.u16(format.data_row_count_offset);
  const std::size_t table_end = slot_table(format) + slot_size * count;
  if (table_end > bytes.size())
    throw_format_fault(fmt::format("page {} claims {} rows, more than a page can hold",
                                   page.number(), count));
  parsed.slots_.reserve(count);
  std::size_t end = bytes.size();
  for (std::size_t i = 0; i < count; ++i) {
    RowSlot slot;
    slot.entry = reader.u16(slot_table(format) + slot_size * i);
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
  return static_cast<std::uint32_t>(lowest - slot_table(*format_) - slot_size * slots_.size());
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
  if (!is_plain_row(page.slot(where.row).flags()))
    throw_format_fault(describe(where) + " is deleted or not a plain row");
  return {page.page(), page.body(where.row), page.owner()};
}

RowBody resolve_row(PageFile& pages, const Format& format, const DataPage& page,
                    std::size_t row) {
  const RowSlot& slot = page.slot(row);
  if (!slot.is_overflow_pointer()) return {page.page(), page.body(row), page.owner()};

  ByteReader pointer(page.body(row), "an overflow pointer");
  const RowPointer target = RowPointer::from_u32(pointer.u32(0));
  DataPage target_page = read_data_page(pages, format, target.page);
  if (target_page.owner() != page.owner() || !target_page.slot(target.row).is_overflow_target())
    throw_format_fault(fmt::format("row {} of page {} points at {}, which is not its overflow row",
                                   row, page.number(), describe(target)));
  return {target_page.page(), target_page.body(target.row), target_page.owner()};
}

DataPageLayout::DataPageLayout(const Format& format, const DataPage& page)
    : format_(&format),
      number_(page.number()),
      original_(page.page().bytes().begin(), page.page().bytes().end()) {
  rows_.reserve(page.row_count());
  for (std::size_t i = 0; i < page.row_count(); ++i) {
    const Bytes body = page.body(i);
    rows_.push_back({page.slot(i).flags(), {body.begin(), body.end()}});
  }
}

DataPageLayout::DataPageLayout(const Format& format, std::uint32_t page_number,
                               std::uint32_t owner)
    : format_(&format), number_(page_number), original_(format.page_size, 0) {
  original_[page_type_offset] = data_page_type;
  original_[page_constant_offset] = page_constant;
  le::put32(original_.data() + owner_offset, owner);
}

std::ptrdiff_t DataPageLayout::free_space() const {
  std::size_t used = slot_table(*format_);
  for (const Row& row : rows_) used += row.body.size() + slot_size;
  return static_cast<std::ptrdiff_t>(format_->page_size) - static_cast<std::ptrdiff_t>(used);
}

bool DataPageLayout::has_room_for(std::size_t body_size) const {
  return rows_.size() < max_rows_per_page &&
         free_space() >= static_cast<std::ptrdiff_t>(body_size + slot_size);
}

void DataPageLayout::replace_body(std::size_t row, std::vector<std::uint8_t> body) {
  rows_.at(row).body = std::move(body);
}

void DataPageLayout::set_flags(std::size_t row, std::uint16_t flags) {
  rows_.at(row).flags = static_cast<std::uint16_t>(flags & slot_flags::mask);
}

std::size_t DataPageLayout::append(std::vector<std::uint8_t> body, std::uint16_t flags) {
  if (rows_.size() >= max_rows_per_page) layout_fault(number_, "it has no free row number");
  rows_.push_back({static_cast<std::uint16_t>(flags & slot_flags::mask), std::move(body)});
  return rows_.size() - 1;
}

std::vector<std::uint8_t> DataPageLayout::image() const {
  if (!fits()) layout_fault(number_, "its rows take more room than the page has");
  std::vector<std::uint8_t> page = original_;
  le::put16(page.data() + free_space_offset, static_cast<std::uint16_t>(free_space()));
  le::put16(page.data() + format_->data_row_count_offset, static_cast<std::uint16_t>(rows_.size()));
  std::size_t end = page.size();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const std::size_t start = end - rows_[i].body.size();
    std::copy(rows_[i].body.begin(), rows_[i].body.end(),
              page.begin() + static_cast<std::ptrdiff_t>(start));
    le::put16(page.data() + slot_table(*format_) + slot_size * i,
              static_cast<std::uint16_t>(start | rows_[i].flags));
    end = start;
  }

  // Read the result back as any reader would, and insist it says exactly
  // what this layout holds.
  const DataPage check = DataPage::parse(
      *format_, Page(number_, std::make_shared<const std::vector<std::uint8_t>>(page)));
  if (check.stored_free_space() != check.computed_free_space() ||
      check.row_count() != rows_.size())
    layout_fault(number_, "the laid-out page does not read back");
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Bytes body = check.body(i);
    if (check.slot(i).flags() != rows_[i].flags ||
        !std::equal(body.begin(), body.end(), rows_[i].body.begin(), rows_[i].body.end()))
      layout_fault(number_, fmt::format("row {} does not read back", i));
  }
  return page;
}

DataPageWriter::DataPageWriter(const Format& format, PageImages& pages, std::uint32_t owner)
    : format_(format), images_(pages), owner_(owner) {}

DataPageWriter::DataPageWriter(const Format& format, PageImages& pages, std::uint32_t owner,
                               std::uint32_t first)
    : DataPageWriter(format, pages, owner) {
  start_page(first);
}

void DataPageWriter::start_page(std::uint32_t number) {
  layouts_.emplace_back(format_, number, owner_);
  images_[number] = layouts_.back().image();
}

RowPointer DataPageWriter::add(std::span<const std::uint8_t> row) {
  if (row.size() + slot_size > format_.empty_data_page_free_space())
    throw InvalidArgumentError(fmt::format("a row of {} bytes does not fit a page of {} bytes",
                                           row.size(), format_.page_size));
  if (layouts_.empty() || !layouts_.back().has_room_for(row.size()))
    start_page(images_.allocate());
  DataPageLayout& page = layouts_.back();
  const std::size_t number = page.append({row.begin(), row.end()}, 0);
  images_[page.number()] = page.image();
  return {page.number(), static_cast<std::uint8_t>(number)};
}

std::vector<std::uint32_t> DataPageWriter::pages() const {
  std::vector<std::uint32_t> out;
  for (const DataPageLayout& page : layouts_) out.push_back(page.number());
  return out;
}

std::vector<std::uint32_t> DataPageWriter::pages_with_room() const {
  std::vector<std::uint32_t> out;
  for (const DataPageLayout& page : layouts_)
    if (page.free_space() >= static_cast<std::ptrdiff_t>(small_row)) out.push_back(page.number());
  return out;
}

}  // namespace norv::jet
