#pragma once

// Where a row lives, as every structure of the file stores it.

#include <cstdint>

namespace norv::jet {

// A row address: page number in the upper 24 bits, row number in the low 8.
struct RowPointer {
  std::uint32_t page = 0;
  std::uint8_t row = 0;

  static RowPointer from_u32(std::uint32_t raw) {
    return {raw >> 8, static_cast<std::uint8_t>(raw & 0xFF)};
  }
  std::uint32_t to_u32() const { return page << 8 | row; }
  bool operator==(const RowPointer&) const = default;
};

}  // namespace norv::jet
