#include "platform/windows_1252.h"

namespace norv::platform {

namespace {

// 0x80..0x9F, where the code page differs from Latin-1.
constexpr char32_t high_bytes[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

const std::array<char32_t, 256>& windows_1252_table() {
  static const std::array<char32_t, 256> table = [] {
    std::array<char32_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b) t[b] = b;
    for (unsigned b = 0; b < 32; ++b) t[0x80 + b] = high_bytes[b];
    return t;
  }();
  return table;
}

std::optional<std::uint8_t> windows_1252_byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
  for (unsigned k = 0; k < 32; ++k)
    if (high_bytes[k] == c) return static_cast<std::uint8_t>(0x80 + k);
  return std::nullopt;
}

}  // namespace norv::platform
