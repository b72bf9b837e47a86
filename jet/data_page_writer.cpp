#include "jet/data_page_writer.h"

#include <fmt/format.h>

#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t max_slots = 255;
constexpr std::uint16_t small_row = 32;

std::uint16_t slot_count(const Format& format, const std::vector<std::uint8_t>& page) {
  return le::get16(page.data() + format.data_row_count_offset);
}

}  // namespace

void init_data_page(const Format& format, std::vector<std::uint8_t>& page, std::uint32_t owner) {
  std::fill(page.begin(), page.end(), 0);
  page[0] = 0x01;
  page[1] = 0x01;
  le::put16(page.data() + 2, static_cast<std::uint16_t>(format.empty_data_page_free_space()));
  le::put32(page.data() + 4, owner);
}

std::uint16_t data_page_free_space(const std::vector<std::uint8_t>& page) {
  return le::get16(page.data() + 2);
}

DataPageWriter::DataPageWriter(const Format& format, PageImages& pages, std::uint32_t owner)
    : format_(format), images_(pages), owner_(owner) {}

DataPageWriter::DataPageWriter(const Format& format, PageImages& pages, std::uint32_t owner,
                               std::uint32_t first)
    : DataPageWriter(format, pages, owner) {
  init_data_page(format_, images_[first], owner_);
  pages_.push_back(first);
}

std::uint16_t DataPageWriter::free_space(std::uint32_t page) const {
  return data_page_free_space(images_[page]);
}

void DataPageWriter::start_page() {
  std::uint32_t number = images_.allocate();
  init_data_page(format_, images_[number], owner_);
  pages_.push_back(number);
}

RowPointer DataPageWriter::add(std::span<const std::uint8_t> row) {
  if (row.size() + 2 > format_.empty_data_page_free_space())
    throw InvalidArgumentError(fmt::format("a row of {} bytes does not fit a page of {} bytes",
                                           row.size(), format_.page_size));
  if (pages_.empty() || free_space(pages_.back()) < row.size() + 2 ||
      slot_count(format_, images_[pages_.back()]) >= max_slots)
    start_page();
  std::uint32_t number = pages_.back();
  auto& page = images_[number];
  std::uint16_t slots = slot_count(format_, page);
  std::size_t table = format_.data_row_count_offset + 2;
  std::size_t end = slots == 0 ? format_.page_size : le::get16(page.data() + table + 2 * (slots - 1u)) & 0x1FFF;
  std::size_t start = end - row.size();
  std::copy(row.begin(), row.end(), page.begin() + static_cast<std::ptrdiff_t>(start));
  le::put16(page.data() + table + 2 * slots, static_cast<std::uint16_t>(start));
  le::put16(page.data() + format_.data_row_count_offset, static_cast<std::uint16_t>(slots + 1));
  le::put16(page.data() + 2, static_cast<std::uint16_t>(free_space(number) - row.size() - 2));
  return {number, static_cast<std::uint8_t>(slots)};
}

std::vector<std::uint32_t> DataPageWriter::pages_with_room() const {
  std::vector<std::uint32_t> out;
  for (std::uint32_t page : pages_)
    if (free_space(page) >= small_row) out.push_back(page);
  return out;
}

}  // namespace norv::jet
