#include "platform/case_fold.h"

#include "platform/utf8.h"

namespace norv::platform {

namespace {

constexpr char32_t after_every_character = 0x110000;

// What a position of the text compares as.
char32_t compared_as(const Utf8Step& step) {
  return step.valid ? upper_case(step.code_point) : after_every_character + step.code_point;
}

char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

}  // namespace

char32_t upper_case(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // Latin-1
  if (c == 0xFF) return 0x178;                                // y with diaeresis
  if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: upper and lower in pairs
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    const bool upper_is_odd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool is_lower = upper_is_odd ? c % 2 == 0 : c % 2 == 1;
    return is_lower ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;  // Greek
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

std::string to_upper_case(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Step step = decode_utf8_at(text, at);
    if (step.valid) append_utf8(out, upper_case(step.code_point));
    else out += text[at];
    at += step.length;
  }
  return out;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  return compare_ignoring_case(a, b) == 0;
}

int compare_ignoring_case(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    // Most names are ASCII: compared byte by byte without decoding.
    if (static_cast<unsigned char>(a[i]) < 0x80 && static_cast<unsigned char>(b[j]) < 0x80) {
      const char ca = ascii_upper(a[i++]);
      const char cb = ascii_upper(b[j++]);
      if (ca != cb) return ca < cb ? -1 : 1;
      continue;
    }
    const Utf8Step sa = decode_utf8_at(a, i);
    const Utf8Step sb = decode_utf8_at(b, j);
    const char32_t ca = compared_as(sa);
    const char32_t cb = compared_as(sb);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += sa.length;
    j += sb.length;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace norv::platform
