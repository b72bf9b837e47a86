#include "settings/registry_text.h"

#include <cstdint>

#include "platform/utf8.h"
#include "settings/text_encoding.h"

namespace norv::settings {

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void append_unit(std::string& utf16le, std::uint32_t unit) {
  utf16le.push_back(static_cast<char>(unit & 0xFF));
  utf16le.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

// One raw UTF-8 sequence as UTF-16 units; an invalid byte yields nothing.
std::size_t append_raw_utf8(std::string_view line, std::size_t at, std::string& utf16le) {
  auto lead = static_cast<std::uint8_t>(line[at]);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
  std::string_view sequence = line.substr(at, length);
  if (sequence.size() != length || !platform::is_valid_utf8(sequence)) return 1;  // dropped
  std::string units = utf8_to_utf16le(sequence);
  utf16le += units;
  return length;
}

// The escape after a backslash at `at`; appends its UTF-16 unit and
// returns the offset after it.
std::size_t append_wine_escape(std::string_view line, std::size_t at, std::string& utf16le) {
  char c = line[at];
  switch (c) {
    case 'a': append_unit(utf16le, '\a'); return at + 1;
    case 'b': append_unit(utf16le, '\b'); return at + 1;
    case 'e': append_unit(utf16le, 0x1B); return at + 1;
    case 'f': append_unit(utf16le, '\f'); return at + 1;
    case 'n': append_unit(utf16le, '\n'); return at + 1;
    case 'r': append_unit(utf16le, '\r'); return at + 1;
    case 't': append_unit(utf16le, '\t'); return at + 1;
    case 'v': append_unit(utf16le, '\v'); return at + 1;
    case 'x': {
      std::uint32_t unit = 0;
      std::size_t next = at + 1;
      while (next < line.size() && next < at + 5 && hex_digit(line[next]) >= 0)
        unit = unit * 16 + static_cast<std::uint32_t>(hex_digit(line[next++]));
      append_unit(utf16le, next == at + 1 ? 'x' : unit);
      return next;
    }
    default: break;
  }
  if (c >= '0' && c <= '7') {
    std::uint32_t unit = 0;
    std::size_t next = at;
    while (next < line.size() && next < at + 3 && line[next] >= '0' && line[next] <= '7')
      unit = unit * 8 + static_cast<std::uint32_t>(line[next++] - '0');
    append_unit(utf16le, unit);
    return next;
  }
  return at + append_raw_utf8(line, at, utf16le);
}

std::optional<ParsedRegistryText> parse_wine_text(std::string_view line, std::size_t at,
                                                  char closing) {
  std::string utf16le;
  while (at < line.size() && line[at] != closing) {
    if (line[at] == '\\') {
      if (++at == line.size()) return std::nullopt;
      at = append_wine_escape(line, at, utf16le);
    } else if (static_cast<std::uint8_t>(line[at]) >= 0x80) {
      at += append_raw_utf8(line, at, utf16le);
    } else {
      append_unit(utf16le, static_cast<std::uint8_t>(line[at++]));
    }
  }
  if (at == line.size()) return std::nullopt;
  return ParsedRegistryText{sanitized_utf8(utf16le_to_utf8(utf16le)), at + 1};
}

std::optional<ParsedRegistryText> parse_regedit_text(std::string_view line, std::size_t at,
                                                     char closing) {
  std::string text;
  while (at < line.size() && line[at] != closing) {
    if (line[at] == '\\' && at + 1 < line.size() && (line[at + 1] == '\\' || line[at + 1] == '"'))
      ++at;
    text.push_back(line[at++]);
  }
  if (at == line.size()) return std::nullopt;
  return ParsedRegistryText{sanitized_utf8(text), at + 1};
}

}  // namespace

std::optional<ParsedRegistryText> parse_registry_text(std::string_view line, std::size_t at,
                                                      char closing, RegistryDialect dialect) {
  return dialect == RegistryDialect::wine ? parse_wine_text(line, at, closing)
                                          : parse_regedit_text(line, at, closing);
}

bool append_registry_hex(std::string_view list, std::string& bytes, bool& continues) {
  continues = false;
  std::size_t at = 0;
  auto skip_blanks = [&] {
    while (at < list.size() && (list[at] == ' ' || list[at] == '\t')) ++at;
  };
  skip_blanks();
  while (at < list.size()) {
    if (list[at] == '\\') {
      ++at;
      skip_blanks();
      continues = true;
      return at == list.size();
    }
    int high = hex_digit(list[at]);
    int low = at + 1 < list.size() ? hex_digit(list[at + 1]) : -1;
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<char>(high * 16 + low));
    at += 2;
    skip_blanks();
    if (at < list.size() && list[at] == ',') ++at;
    skip_blanks();
  }
  return true;
}

std::optional<std::uint32_t> parse_registry_dword(std::string_view digits) {
  std::uint32_t value = 0;
  std::size_t count = 0;
  for (; count < digits.size() && hex_digit(digits[count]) >= 0; ++count) {
    if (count == 8) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(hex_digit(digits[count]));
  }
  if (count == 0) return std::nullopt;
  return value;
}

}  // namespace norv::settings
