#include "data/text_case.h"

#include <cstdint>

namespace norv::data {
namespace {

struct Decoded {
  char32_t code_point;
  std::size_t length;  // 0: not valid UTF-8 at this position
};

Decoded decode_utf8(std::string_view text, std::size_t pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(pos);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead >= 0xF8 || pos + length > text.size()) return {0, 0};
  char32_t cp = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return {0, 0};
    cp = cp << 6 | (byte(pos + i) & 0x3F);
  }
  return {cp, length};
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t upper(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // Latin-1
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: upper and lower in pairs
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    bool upper_is_odd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    bool is_lower = upper_is_odd ? c % 2 == 0 : c % 2 == 1;
    return is_lower ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;  // Greek
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

}  // namespace

std::string to_upper_case(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    Decoded d = decode_utf8(text, pos);
    if (d.length == 0) {
      out += text[pos++];
      continue;
    }
    append_utf8(out, upper(d.code_point));
    pos += d.length;
  }
  return out;
}

bool names_equal(std::string_view a, std::string_view b) {
  return compare_ignoring_case(a, b) == 0;
}

int compare_ignoring_case(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    Decoded da = decode_utf8(a, i);
    Decoded db = decode_utf8(b, j);
    // Invalid bytes order after every character, by their byte value.
    char32_t ca = da.length ? upper(da.code_point) : 0x110000 + static_cast<unsigned char>(a[i]);
    char32_t cb = db.length ? upper(db.code_point) : 0x110000 + static_cast<unsigned char>(b[j]);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += da.length ? da.length : 1;
    j += db.length ? db.length : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace norv::data
