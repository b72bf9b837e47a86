#pragma once

// Bounds-checked little-endian reads from a byte range. A read past the end
// is a FormatFault naming what was being read, never an out-of-range access.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace norv::jet {

using Bytes = std::span<const std::uint8_t>;

class ByteReader {
 public:
  // `what` names the structure in messages ("table definition of page 2").
  ByteReader(Bytes bytes, std::string_view what) : bytes_(bytes), what_(what) {}

  std::size_t size() const { return bytes_.size(); }
  Bytes bytes() const { return bytes_; }

  std::uint8_t u8(std::size_t offset) const;
  std::uint16_t u16(std::size_t offset) const;
  std::uint32_t u24(std::size_t offset) const;
  std::uint32_t u32(std::size_t offset) const;
  double f64(std::size_t offset) const;

  // bytes_[offset, offset + length), checked.
  Bytes slice(std::size_t offset, std::size_t length) const;

  // Throws unless [offset, offset + length) lies inside the range.
  void require(std::size_t offset, std::size_t length) const;

 private:
  Bytes bytes_;
  std::string_view what_;
};

}  // namespace norv::jet
