#include "jet/utf8.h"

namespace norv::jet {

namespace {

int sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

char32_t smallest_for_length(int length) {
  switch (length) {
    case 2: return 0x80;
    case 3: return 0x800;
    case 4: return 0x10000;
    default: return 0;
  }
}

}  // namespace

std::optional<std::u32string> decode_utf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    auto lead = static_cast<unsigned char>(text[i]);
    int length = sequence_length(lead);
    if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) return std::nullopt;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (next & 0x3F);
    }
    if (c < smallest_for_length(length) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      return std::nullopt;
    out.push_back(c);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

void append_utf8(std::string& out, char32_t c) {
  auto put = [&out](unsigned v) { out.push_back(static_cast<char>(v)); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | c >> 6);
    put(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    put(0xE0 | c >> 12);
    put(0x80 | (c >> 6 & 0x3F));
    put(0x80 | (c & 0x3F));
  } else {
    put(0xF0 | c >> 18);
    put(0x80 | (c >> 12 & 0x3F));
    put(0x80 | (c >> 6 & 0x3F));
    put(0x80 | (c & 0x3F));
  }
}

}  // namespace norv::jet
