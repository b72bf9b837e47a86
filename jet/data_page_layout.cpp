#include "jet/data_page_layout.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/engine_errors.h"
#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t free_space_offset = 2;
constexpr std::size_t owner_offset = 4;
constexpr std::uint16_t flag_mask = 0xC000;

[[noreturn]] void layout_fault(std::uint32_t page, std::string_view what) {
  throw_internal_error(fmt::format("page {} cannot be laid out: {}", page, what));
}

}  // namespace

DataPageLayout::DataPageLayout(const Format& format, const DataPage& page)
    : format_(&format),
      number_(page.number()),
      original_(page.page().bytes().begin(), page.page().bytes().end()) {
  rows_.reserve(page.row_count());
  for (std::size_t i = 0; i < page.row_count(); ++i) {
    const Bytes body = page.body(i);
    rows_.push_back({static_cast<std::uint16_t>(page.slot(i).entry & flag_mask),
                     {body.begin(), body.end()}});
  }
}

DataPageLayout::DataPageLayout(const Format& format, std::uint32_t page_number,
                               std::uint32_t owner)
    : format_(&format), number_(page_number), original_(format.page_size, 0) {
  original_[0] = data_page_type;
  original_[1] = 0x01;
  le::put32(original_.data() + owner_offset, owner);
}

std::ptrdiff_t DataPageLayout::free_space() const {
  std::size_t used = format_->data_row_count_offset + 2;
  for (const Row& row : rows_) used += row.body.size() + 2;
  return static_cast<std::ptrdiff_t>(format_->page_size) - static_cast<std::ptrdiff_t>(used);
}

bool DataPageLayout::has_room_for(std::size_t body_size) const {
  return rows_.size() < max_rows_per_page &&
         free_space() >= static_cast<std::ptrdiff_t>(body_size + 2);
}

void DataPageLayout::replace_body(std::size_t row, std::vector<std::uint8_t> body) {
  rows_.at(row).body = std::move(body);
}

void DataPageLayout::set_flags(std::size_t row, std::uint16_t flags) {
  rows_.at(row).flags = static_cast<std::uint16_t>(flags & flag_mask);
}

std::size_t DataPageLayout::append(std::vector<std::uint8_t> body, std::uint16_t flags) {
  if (rows_.size() >= max_rows_per_page) layout_fault(number_, "it has no free row number");
  rows_.push_back({static_cast<std::uint16_t>(flags & flag_mask), std::move(body)});
  return rows_.size() - 1;
}

std::vector<std::uint8_t> DataPageLayout::image() const {
  if (!fits()) layout_fault(number_, "its rows take more room than the page has");
  std::vector<std::uint8_t> page = original_;
  const std::size_t table = format_->data_row_count_offset;
  le::put16(page.data() + free_space_offset, static_cast<std::uint16_t>(free_space()));
  le::put16(page.data() + table, static_cast<std::uint16_t>(rows_.size()));
  std::size_t end = page.size();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const std::size_t start = end - rows_[i].body.size();
    std::copy(rows_[i].body.begin(), rows_[i].body.end(),
              page.begin() + static_cast<std::ptrdiff_t>(start));
    le::put16(page.data() + table + 2 + 2 * i, static_cast<std::uint16_t>(start | rows_[i].flags));
    end = start;
  }

  // Read the result back as any reader would, and insist it says exactly
  // what this layout holds.
  const DataPage check = DataPage::parse(*format_, Page(number_, std::make_shared<const std::vector<std::uint8_t>>(page)));
  if (check.stored_free_space() != check.computed_free_space() ||
      check.row_count() != rows_.size())
    layout_fault(number_, "the laid-out page does not read back");
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Bytes body = check.body(i);
    if ((check.slot(i).entry & flag_mask) != rows_[i].flags ||
        !std::equal(body.begin(), body.end(), rows_[i].body.begin(), rows_[i].body.end()))
      layout_fault(number_, fmt::format("row {} does not read back", i));
  }
  return page;
}

}  // namespace norv::jet
