#include "settings/text_encoding.h"

#include <utility>

namespace norv::settings {

namespace {

constexpr char32_t replacement_character = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F; unassigned bytes map to themselves.
constexpr char16_t windows_1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Decoded {
  char32_t code_point;
  std::size_t length;  // 0: not a valid sequence
};

// One UTF-8 sequence at `at`; surrogates are accepted only when
// `allow_surrogates` (the generalised form used for lone UTF-16 surrogates).
Decoded decode_utf8(std::string_view text, std::size_t at, bool allow_surrogates) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  std::uint8_t lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > text.size()) return {0, 0};
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return {0, 0};
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  bool surrogate = value >= 0xD800 && value <= 0xDFFF;
  if (value < smallest[length] || value > 0x10FFFF || (surrogate && !allow_surrogates))
    return {0, 0};
  return {value, length};
}

void append_utf16le_unit(std::string& out, char32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

}  // namespace

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool is_valid_utf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    Decoded d = decode_utf8(bytes, i, false);
    if (d.length == 0) return false;
    i += d.length;
  }
  return true;
}

std::string sanitized_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    Decoded d = decode_utf8(bytes, i, true);
    bool surrogate = d.code_point >= 0xD800 && d.code_point <= 0xDFFF;
    if (d.length == 0 || surrogate) {
      append_utf8(out, replacement_character);
      i += d.length == 0 ? 1 : d.length;
    } else {
      out.append(bytes.substr(i, d.length));
      i += d.length;
    }
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
    Decoded d = decode_utf8(text, i, false);
    i += d.length == 0 ? 1 : d.length;
    char32_t c = d.length == 0 ? replacement_character : d.code_point;
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
  return is_valid_utf8(bytes) ? std::string(bytes) : ansi_to_utf8(bytes);
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
    Decoded d = decode_utf8(text, i, true);
    i += d.length == 0 ? 1 : d.length;
    char32_t c = d.length == 0 ? replacement_character : d.code_point;
    if (c >= 0x10000) {
      append_utf16le_unit(out, 0xD800 + ((c - 0x10000) >> 10));
      append_utf16le_unit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      append_utf16le_unit(out, c);
    }
  }
  return out;
}

std::string_view first_characters(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count && at < text.size(); ++n) {
    Decoded d = decode_utf8(text, at, true);
    at += d.length == 0 ? 1 : d.length;
  }
  return text.substr(0, at);
}

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) {
    Decoded d = decode_utf8(text, at, true);
    at += d.length == 0 ? 1 : d.length;
  }
  return count;
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
