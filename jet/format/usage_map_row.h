#pragma once

// The bytes of a usage map row and of a bitmap page, shared by the reader
// and the builders (usage_map.cpp) and by the update's map changes
// (usage_map_update.cpp), so that all of them read one description.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/format/format.h"

namespace norv::jet::usage_map_row {

// The map row: its kind, then for an inline map the first page its bitmap
// covers and the bitmap (LSB first); for a reference map one u32 slot per
// bitmap page, slot k covering pages from k * Format::pages_per_map_page.
inline constexpr std::size_t kind_offset = 0;
inline constexpr std::size_t inline_start_offset = 1;
inline constexpr std::size_t inline_bitmap_offset = 5;
inline constexpr std::size_t reference_slots_offset = 1;
inline constexpr std::size_t reference_slot_size = 4;
// A bitmap page: type, a constant 0x01, two unused bytes, the bitmap.
inline constexpr std::size_t bitmap_page_header_size = 4;

inline bool bit_is_set(const std::uint8_t* bitmap, std::uint64_t bit) {
  return (bitmap[bit / 8] >> (bit % 8) & 1) != 0;
}

inline void set_bit(std::uint8_t* bitmap, std::uint64_t bit, bool value = true) {
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  if (value)
    bitmap[bit / 8] |= mask;
  else
    bitmap[bit / 8] &= static_cast<std::uint8_t>(~mask);
}

inline std::size_t reference_slot(std::size_t k) { return reference_slots_offset + reference_slot_size * k; }

// The pages an inline map row marks.
std::vector<std::uint32_t> set_pages(const std::vector<std::uint8_t>& row);

// A bitmap page as Jet starts one, marking `pages` (all in the slot that
// starts at page `first`).
std::vector<std::uint8_t> bitmap_page_image(const Format& format, std::uint32_t first,
                                            const std::vector<std::uint32_t>& pages);

}  // namespace norv::jet::usage_map_row
