#include "jet/general_sort_key.h"

#include <array>

#include "jet/utf8.h"

namespace norv::jet {

namespace {

constexpr std::uint8_t none = 0;

// Weights of a..z; `none` where no Jet-written key showed the letter.
constexpr std::array<std::uint8_t, 26> jet4_letters = {
    0x4A, 0x4C, 0x4D, 0x4F, 0x51, 0x53, 0x55, 0x57, 0x59, 0x5B, none, 0x5E, 0x60,
    0x62, 0x64, 0x66, 0x68, 0x69, 0x6B, 0x6D, 0x6F, 0x71, none, none, 0x76, none};
constexpr std::array<std::uint8_t, 26> jet3_letters = {
    0x60, 0x61, 0x62, 0x64, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6F,
    0x70, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, none, none, none, 0x7D, none};

std::uint8_t weight(FormatVersion format, char32_t c) {
  bool jet4 = format == FormatVersion::jet4;
  if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
  if (c >= 'a' && c <= 'z') return (jet4 ? jet4_letters : jet3_letters)[c - 'a'];
  if (jet4 && c >= '0' && c <= '9') return static_cast<std::uint8_t>(0x36 + 2 * (c - '0'));
  if (!jet4 && c >= '1' && c <= '4') return static_cast<std::uint8_t>(0x57 + (c - '1'));
  if (!jet4 && c == '_') return 0x2C;
  return none;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> general_sort_key(FormatVersion format,
                                                          std::string_view utf8,
                                                          char32_t* unsupported) {
  auto text = decode_utf8(utf8);
  if (!text) return std::nullopt;
  std::vector<std::uint8_t> key;
  for (char32_t c : *text) {
    std::uint8_t w = weight(format, c);
    if (w == none) {
      if (unsupported != nullptr) *unsupported = c;
      return std::nullopt;
    }
    key.push_back(w);
  }
  if (format == FormatVersion::jet4) {
    key.push_back(0x01);
    key.push_back(0x00);
  } else {
    key.push_back(0x00);
  }
  return key;
}

}  // namespace norv::jet
