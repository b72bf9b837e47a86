#include "settings/profile_text.h"

#include "platform/case_fold.h"
#include "platform/utf8.h"
#include "settings/text_encoding.h"

namespace norv::settings {

namespace {

constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";
constexpr std::string_view utf16le_bom = "\xFF\xFE";

// One pair of matching outer quotes, double or single, is not part of the
// value; quotes are the only way to keep blanks at its ends.
std::string_view without_quotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Names and values are C strings to Windows: a NUL ends them, though the
// line goes on.
std::string_view up_to_nul(std::string_view text) { return text.substr(0, text.find('\0')); }

bool is_ascii(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool names_match(const ProfileText& profile, std::string_view stored, std::string_view wanted) {
  if (profile.encoding != ProfileEncoding::ansi || is_ascii(stored))
    return platform::equal_ignoring_case(stored, wanted);
  return platform::equal_ignoring_case(ansi_to_utf8(stored), wanted);
}

}  // namespace

ProfileText decode_profile(std::string_view bytes) {
  ProfileText profile;
  if (bytes.starts_with(utf16le_bom)) {
    profile.encoding = ProfileEncoding::utf16le_bom;
    std::string_view units = bytes.substr(utf16le_bom.size());
    profile.text = utf16le_to_utf8(units);
    if (units.size() % 2 == 1) profile.undecoded_tail = std::string(units.substr(units.size() - 1));
  } else if (bytes.starts_with(utf8_bom)) {
    profile.encoding = ProfileEncoding::utf8_bom;
    profile.text = std::string(bytes.substr(utf8_bom.size()));
  } else {
    bool beyond_ascii = !is_ascii(bytes);
    profile.encoding = beyond_ascii && platform::is_valid_utf8(bytes) ? ProfileEncoding::utf8
                                                            : ProfileEncoding::ansi;
    profile.text = std::string(bytes);
  }
  return profile;
}

std::string encode_profile(const ProfileText& profile) {
  switch (profile.encoding) {
    case ProfileEncoding::utf16le_bom:
      return std::string(utf16le_bom) + utf8_to_utf16le(profile.text) + profile.undecoded_tail;
    case ProfileEncoding::utf8_bom:
      return std::string(utf8_bom) + profile.text;
    case ProfileEncoding::ansi:
    case ProfileEncoding::utf8:
      break;
  }
  return profile.text;
}

std::string to_profile_text(const ProfileText& profile, std::string_view utf8) {
  if (profile.encoding == ProfileEncoding::ansi) return utf8_to_ansi(utf8);
  return std::string(utf8);
}

std::string from_profile_text(const ProfileText& profile, std::string_view stored) {
  if (profile.encoding == ProfileEncoding::ansi) return ansi_to_utf8(stored);
  return sanitized_utf8(stored);
}

// Windows' white space for these files includes Ctrl-Z, the old DOS end of
// file mark.
bool is_profile_blank(char c) { return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A; }

std::string_view trim_profile_blanks(std::string_view text) {
  while (!text.empty() && is_profile_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_profile_blank(text.back())) text.remove_suffix(1);
  return text;
}

ProfileLine read_profile_line(std::string_view text, std::size_t at) {
  ProfileLine line;
  line.start = at;
  std::size_t end = at;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  line.content_end = end;
  line.next = end;
  if (end < text.size()) line.next += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;

  std::string_view content = trim_profile_blanks(text.substr(at, end - at));
  if (content.empty()) return line;
  if (content.front() == '[') {
    std::size_t close = content.rfind(']');
    if (close != std::string_view::npos) {
      line.kind = ProfileLine::Kind::header;
      line.name = up_to_nul(trim_profile_blanks(content.substr(1, close - 1)));
      return line;
    }
  }
  line.kind = ProfileLine::Kind::entry;
  std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) {
    line.name = up_to_nul(content);
  } else {
    line.name = up_to_nul(trim_profile_blanks(content.substr(0, equals)));
    line.value = up_to_nul(without_quotes(trim_profile_blanks(content.substr(equals + 1))));
  }
  return line;
}

std::optional<ProfileSection> find_profile_section(const ProfileText& profile,
                                                   std::string_view section) {
  std::string_view wanted = trim_profile_blanks(section);
  std::string_view text = profile.text;
  std::size_t at = 0;
  while (at < text.size()) {
    ProfileLine line = read_profile_line(text, at);
    at = line.next;
    if (line.kind != ProfileLine::Kind::header || !names_match(profile, line.name, wanted)) continue;
    ProfileSection found{line, line, text.size()};
    while (at < text.size()) {
      ProfileLine inner = read_profile_line(text, at);
      if (inner.kind == ProfileLine::Kind::header) {
        found.end = inner.start;
        break;
      }
      if (inner.kind != ProfileLine::Kind::blank) found.last_nonblank = inner;
      at = inner.next;
    }
    return found;
  }
  return std::nullopt;
}

std::optional<ProfileLine> find_profile_entry(const ProfileText& profile,
                                              const ProfileSection& section, std::string_view key) {
  std::string_view wanted = trim_profile_blanks(key);
  std::string_view text = profile.text;
  for (std::size_t at = section.header.next; at < section.end;) {
    ProfileLine line = read_profile_line(text, at);
    if (line.kind == ProfileLine::Kind::entry && names_match(profile, line.name, wanted)) return line;
    at = line.next;
  }
  return std::nullopt;
}

}  // namespace norv::settings
