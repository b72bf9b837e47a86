#include "jet/base/bytes.h"

#include <bit>

#include <fmt/format.h>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"

namespace norv::jet {

void ByteReader::require(std::size_t offset, std::size_t length) const {
  if (offset > bytes_.size() || length > bytes_.size() - offset)
    throw_format_fault(fmt::format("{} is cut short (needs bytes {}..{} of {})", what_, offset,
                                   offset + length, bytes_.size()));
}

std::uint8_t ByteReader::u8(std::size_t offset) const {
  require(offset, 1);
  return bytes_[offset];
}

std::uint16_t ByteReader::u16(std::size_t offset) const {
  require(offset, 2);
  return le::get16(bytes_.data() + offset);
}

std::uint32_t ByteReader::u24(std::size_t offset) const {
  require(offset, 3);
  const std::uint8_t* p = bytes_.data() + offset;
  return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
}

std::uint32_t ByteReader::u32(std::size_t offset) const {
  require(offset, 4);
  return le::get32(bytes_.data() + offset);
}

double ByteReader::f64(std::size_t offset) const {
  require(offset, 8);
  return std::bit_cast<double>(le::get64(bytes_.data() + offset));
}

Bytes ByteReader::slice(std::size_t offset, std::size_t length) const {
  require(offset, length);
  return bytes_.subspan(offset, length);
}

}  // namespace norv::jet
