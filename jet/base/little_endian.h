#pragma once

// Unchecked little-endian stores and loads for code that has already checked
// its ranges (the codecs build and verify whole rows at once).

#include <cstdint>
#include <cstring>
#include <vector>

namespace norv::jet::le {

inline std::uint16_t get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint64_t get64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(get32(p)) | static_cast<std::uint64_t>(get32(p + 4)) << 32;
}

inline void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::uint8_t* p, std::uint32_t v) {
  put16(p, static_cast<std::uint16_t>(v));
  put16(p + 2, static_cast<std::uint16_t>(v >> 16));
}
inline void put64(std::uint8_t* p, std::uint64_t v) {
  put32(p, static_cast<std::uint32_t>(v));
  put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

inline void append16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void append32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  append16(out, static_cast<std::uint16_t>(v));
  append16(out, static_cast<std::uint16_t>(v >> 16));
}
inline void append64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  append32(out, static_cast<std::uint32_t>(v));
  append32(out, static_cast<std::uint32_t>(v >> 32));
}

template <typename T>
T get_float(const std::uint8_t* p) {
  static_assert(sizeof(T) == 4 || sizeof(T) == 8);
  T value;
  if constexpr (sizeof(T) == 4) {
    std::uint32_t bits = get32(p);
    std::memcpy(&value, &bits, 4);
  } else {
    std::uint64_t bits = get64(p);
    std::memcpy(&value, &bits, 8);
  }
  return value;
}

template <typename T>
void put_float(std::uint8_t* p, T value) {
  static_assert(sizeof(T) == 4 || sizeof(T) == 8);
  if constexpr (sizeof(T) == 4) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    put32(p, bits);
  } else {
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    put64(p, bits);
  }
}

}  // namespace norv::jet::le
