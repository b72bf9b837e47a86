#include "jet/usage_map_writer.h"

#include <fmt/format.h>

#include <algorithm>

#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t map_header_size = 5;  // type byte, u32 first page

// Jet's own inline maps cover 512 pages in Jet 4 and 1024 in Jet 3.
std::size_t bitmap_bytes(const Format& format, std::uint32_t covered_pages) {
  std::size_t usual = format.version == FormatVersion::jet4 ? 64 : 128;
  std::size_t needed = (covered_pages + 7u) / 8u;
  std::size_t size = std::max(usual, needed);
  if (map_header_size + size + 2 > format.empty_data_page_free_space())
    throw NotSupportedError(fmt::format(
        "a database of {} pages is too large for the creator's usage maps", covered_pages));
  return size;
}

void set_bit(std::vector<std::uint8_t>& row, std::uint32_t page) {
  row[map_header_size + page / 8] |= static_cast<std::uint8_t>(1u << (page % 8));
}

}  // namespace

std::vector<std::uint8_t> inline_usage_map(const Format& format,
                                           const std::vector<std::uint32_t>& pages,
                                           std::uint32_t covered_pages) {
  std::vector<std::uint8_t> row(map_header_size + bitmap_bytes(format, covered_pages), 0);
  for (std::uint32_t page : pages) set_bit(row, page);
  return row;
}

std::vector<std::uint8_t> global_usage_map(const Format& format, std::uint32_t page_count) {
  std::vector<std::uint8_t> row(map_header_size + bitmap_bytes(format, page_count), 0);
  auto covered = static_cast<std::uint32_t>((row.size() - map_header_size) * 8);
  for (std::uint32_t page = page_count; page < covered; ++page) set_bit(row, page);
  return row;
}

}  // namespace norv::jet
