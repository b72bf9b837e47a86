#pragma once

// The bytes every page starts with: its type and a constant 0x01 (the
// database header page too, as type 0x00). Data, index and table
// definition pages then keep their free space in a u16; data and index
// pages name the table that owns them in the u32 after it.

#include <cstddef>
#include <cstdint>
#include <span>

namespace norv::jet {

inline constexpr std::size_t page_type_offset = 0;
inline constexpr std::size_t page_constant_offset = 1;
inline constexpr std::uint8_t page_constant = 0x01;
inline constexpr std::size_t page_free_space_offset = 2;
inline constexpr std::size_t page_owner_offset = 4;

// Starts a page image of `type`.
inline void write_page_header(std::span<std::uint8_t> image, std::uint8_t type) {
  image[page_type_offset] = type;
  image[page_constant_offset] = page_constant;
}

// Whether `image` starts as write_page_header(image, type) starts one.
inline bool has_page_header(std::span<const std::uint8_t> image, std::uint8_t type) {
  return image.size() > page_constant_offset && image[page_type_offset] == type &&
         image[page_constant_offset] == page_constant;
}

}  // namespace norv::jet
