#include "platform/case_fold.h"

#include <cstdint>

namespace norv::platform {

namespace {

// One code point decoded from UTF-8; an invalid sequence yields its first
// byte alone, tagged so that it never equals a real character.
struct CodePoint {
  std::uint32_t value;
  std::size_t length;
};

constexpr std::uint32_t raw_byte_tag = 0x80000000u;

CodePoint decode(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  std::uint8_t lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > text.size()) return {raw_byte_tag | lead, 1};
  std::uint32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return {raw_byte_tag | lead, 1};
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return {raw_byte_tag | lead, 1};
  return {value, length};
}

std::uint32_t fold(std::uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 0x20;         // Latin-1 capitals
  if (c == 0x178) return 0xFF;                          // Y with diaeresis
  if (c >= 0x100 && c <= 0x17F) {                       // Latin Extended-A pairs
    bool odd_capitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    bool is_capital = odd_capitals ? (c % 2 == 1) : (c % 2 == 0);
    return is_capital ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

bool ascii_equal_ignoring_case(unsigned char a, unsigned char b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 0x20 : c; };
  return lower(a) == lower(b);
}

}  // namespace

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[j]);
    if (ca < 0x80 && cb < 0x80) {
      if (!ascii_equal_ignoring_case(ca, cb)) return false;
      ++i;
      ++j;
      continue;
    }
    CodePoint pa = decode(a, i);
    CodePoint pb = decode(b, j);
    if (fold(pa.value) != fold(pb.value)) return false;
    i += pa.length;
    j += pb.length;
  }
  return i == a.size() && j == b.size();
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace norv::platform
