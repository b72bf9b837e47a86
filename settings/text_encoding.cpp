#include "settings/text_encoding.h"

#include <utility>

#include "platform/utf8.h"

namespace norv::settings {

namespace {

using platform::append_utf8;
using platform::decode_utf8_at;
using platform::Surrogates;
using platform::Utf8Step;

constexpr char32_t replacement_character = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F; unassigned bytes map to themselves.
constexpr char16_t windows_1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void append_utf16le_unit(std::string& out, char32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

}  // namespace

std::string sanitized_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const Utf8Step step = decode_utf8_at(bytes, i, Surrogates::accepted);
    const bool surrogate = step.code_point >= 0xD800 && step.code_point <= 0xDFFF;
    if (step.valid && !surrogate) out.append(bytes.substr(i, step.length));
    else append_utf8(out, replacement_character);
    i += step.length;
  }
  return out;
}

std::string ansi_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    auto b = static_cast<std::uint8_t>(ch);
    if (b < 0x80) out.push_back(ch);
    else append_utf8(out, b < 0xA0 ? windows_1252_high[b - 0x80] : char32_t{b});
  }
  return out;
}

std::string utf8_to_ansi(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Step step = decode_utf8_at(text, i);
    i += step.length;
    const char32_t c = step.valid ? step.code_point : replacement_character;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k)
      if (windows_1252_high[k] == c) mapped = static_cast<char>(0x80 + k);
    out.push_back(mapped);
  }
  return out;
}

std::string ansi_or_utf8_to_utf8(std::string_view bytes) {
  return platform::is_valid_utf8(bytes) ? std::string(bytes) : ansi_to_utf8(bytes);
}

std::string utf16le_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  Utf16leStreamDecoder decoder;
  decoder.decode(bytes.substr(0, bytes.size() & ~std::size_t{1}), out);
  decoder.decode({}, out);
  return out;
}

std::string utf8_to_utf16le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Step step = decode_utf8_at(text, i, Surrogates::accepted);
    i += step.length;
    const char32_t c = step.valid ? step.code_point : replacement_character;
    if (c >= 0x10000) {
      append_utf16le_unit(out, 0xD800 + ((c - 0x10000) >> 10));
      append_utf16le_unit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      append_utf16le_unit(out, c);
    }
  }
  return out;
}

void Utf16leStreamDecoder::decode(std::string_view bytes, std::string& out) {
  if (bytes.empty()) {  // the end: a pending high surrogate stands alone
    if (pending_high_surrogate_ != 0) append_utf8(out, std::exchange(pending_high_surrogate_, 0));
    return;
  }
  std::size_t i = 0;
  if (pending_byte_ >= 0) {
    take_unit(static_cast<std::uint16_t>(pending_byte_ | (static_cast<std::uint8_t>(bytes[0]) << 8)),
              out);
    pending_byte_ = -1;
    i = 1;
  }
  for (; i + 1 < bytes.size(); i += 2) {
    take_unit(static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                         (static_cast<std::uint8_t>(bytes[i + 1]) << 8)),
              out);
  }
  if (i < bytes.size()) pending_byte_ = static_cast<std::uint8_t>(bytes[i]);
}

void Utf16leStreamDecoder::take_unit(std::uint16_t unit, std::string& out) {
  if (pending_high_surrogate_ != 0) {
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      char32_t c = 0x10000 + ((pending_high_surrogate_ - 0xD800) << 10) + (unit - 0xDC00);
      pending_high_surrogate_ = 0;
      append_utf8(out, c);
      return;
    }
    append_utf8(out, std::exchange(pending_high_surrogate_, 0));
  }
  if (unit >= 0xD800 && unit <= 0xDBFF) pending_high_surrogate_ = unit;
  else append_utf8(out, unit);
}

}  // namespace norv::settings
