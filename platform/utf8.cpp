#include "platform/utf8.h"

#include <cstdint>

namespace norv::platform {

namespace {

// 0 for a byte no sequence starts with (continuations, C0/C1, F5..FF).
std::size_t sequence_length(std::uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

Utf8Step decode_utf8_at(std::string_view text, std::size_t at, Surrogates surrogates) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  const Utf8Step invalid{lead, 1, false};
  const std::size_t length = sequence_length(lead);
  if (length == 0 || at + length > text.size()) return invalid;
  if (length == 1) return {lead, 1, true};
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return invalid;
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < smallest[length] || value > 0x10FFFF) return invalid;
  if (is_surrogate(value) && surrogates == Surrogates::refused) return invalid;
  return {value, length, true};
}

std::optional<std::u32string> decode_utf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Step step = decode_utf8_at(text, at);
    if (!step.valid) return std::nullopt;
    out.push_back(step.code_point);
    at += step.length;
  }
  return out;
}

bool is_valid_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Step step = decode_utf8_at(text, at);
    if (!step.valid) return false;
    at += step.length;
  }
  return true;
}

void append_utf8(std::string& out, char32_t c) {
  auto put = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
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

std::string_view first_characters(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count && at < text.size(); ++n)
    at += decode_utf8_at(text, at, Surrogates::accepted).length;
  return text.substr(0, at);
}

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count)
    at += decode_utf8_at(text, at, Surrogates::accepted).length;
  return count;
}

std::size_t whole_characters_length(std::string_view text) {
  // A sequence is at most four bytes long: only the last three can start
  // one that is not complete.
  const std::size_t back = text.size() < 3 ? text.size() : 3;
  for (std::size_t i = 1; i <= back; ++i) {
    const std::size_t at = text.size() - i;
    const auto byte = static_cast<std::uint8_t>(text[at]);
    if ((byte & 0xC0) == 0x80) continue;
    return sequence_length(byte) > i ? at : text.size();
  }
  return text.size();
}

}  // namespace norv::platform
