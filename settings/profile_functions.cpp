#include "settings/profile_functions.h"

#include "platform/utf8.h"
#include "settings/profile_text.h"
#include "settings/text_encoding.h"

namespace norv::settings {

namespace {

// GetPrivateProfileIntA converts what GetPrivateProfileStringA reads into a
// 30-character buffer.
constexpr std::size_t integer_text_limit = 29;

std::optional<std::string> find_value(std::optional<std::string_view> file,
                                      std::string_view section, std::string_view key) {
  if (!file) return std::nullopt;
  ProfileText profile = decode_profile(*file);
  std::optional<ProfileSection> found = find_profile_section(profile, section);
  if (!found) return std::nullopt;
  std::optional<ProfileLine> entry = find_profile_entry(profile, *found, key);
  if (!entry || !entry->value) return std::nullopt;
  return from_profile_text(profile, *entry->value);
}

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// The integer conversion Windows applies (base chosen by prefix, unsigned
// wrap-around, negation after the digits).
std::uint32_t leading_number(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  unsigned base = 10;
  if (at + 1 < text.size() && text[at] == '0') {
    char prefix = static_cast<char>(text[at + 1] | 0x20);
    base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (base != 10) at += 2;
  }
  std::uint32_t total = 0;
  for (; at < text.size(); ++at) {
    int digit = digit_value(text[at]);
    if (digit >= static_cast<int>(base)) break;
    total = total * base + static_cast<std::uint32_t>(digit);
  }
  return negative ? 0u - total : total;
}

bool storable(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string entry_line(std::string_view key, std::string_view value) {
  return std::string(trim_profile_blanks(key)) + "=" + std::string(value);
}

ProfileWriteResult changed(ProfileText& profile, std::size_t at, std::size_t erase,
                           std::string_view insert) {
  profile.text.replace(at, erase, insert);
  return {true, encode_profile(profile)};
}

ProfileWriteResult delete_section(ProfileText profile, std::string_view section) {
  std::optional<ProfileSection> found = find_profile_section(profile, section);
  if (!found) return {true, std::nullopt};
  return changed(profile, found->header.start, found->end - found->header.start, "");
}

ProfileWriteResult delete_key(ProfileText profile, std::string_view section, std::string_view key) {
  std::optional<ProfileSection> found = find_profile_section(profile, section);
  if (!found) return {true, std::nullopt};
  std::optional<ProfileLine> entry = find_profile_entry(profile, *found, key);
  if (!entry) return {true, std::nullopt};
  return changed(profile, entry->start, entry->next - entry->start, "");
}

ProfileWriteResult set_key(ProfileText profile, std::string_view section, std::string_view key,
                           std::string_view value) {
  std::optional<ProfileSection> found = find_profile_section(profile, section);
  std::string_view text = profile.text;
  if (!found) {
    bool needs_line_end = !text.empty() && text.back() != '\r' && text.back() != '\n';
    std::string added = std::string(needs_line_end ? "\r\n" : "") + "[" +
                        std::string(trim_profile_blanks(section)) + "]\r\n" +
                        entry_line(key, value) + "\r\n";
    return changed(profile, text.size(), 0, to_profile_text(profile, added));
  }
  std::optional<ProfileLine> entry = find_profile_entry(profile, *found, key);
  if (entry) {
    if (entry->value && from_profile_text(profile, *entry->value) == value) return {true, std::nullopt};
    std::string line = std::string(entry->name) + "=" + to_profile_text(profile, value);
    return changed(profile, entry->start, entry->content_end - entry->start, line);
  }
  const ProfileLine& last = found->last_nonblank;
  std::string added = std::string(last.terminated() ? "" : "\r\n") + entry_line(key, value) + "\r\n";
  return changed(profile, last.next, 0, to_profile_text(profile, added));
}

}  // namespace

std::string profile_get_string(std::optional<std::string_view> file, std::string_view section,
                               std::string_view key, std::string_view default_value,
                               std::uint32_t size) {
  if (size == 0) return {};
  std::optional<std::string> value = find_value(file, section, key);
  if (!value) {
    std::string_view fallback = default_value;
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
    value = std::string(fallback);
  }
  return std::string(platform::first_characters(*value, size - 1));
}

std::uint32_t profile_get_int(std::optional<std::string_view> file, std::string_view section,
                              std::string_view key, std::int32_t default_value) {
  std::optional<std::string> value = find_value(file, section, key);
  if (!value || value->empty()) return static_cast<std::uint32_t>(default_value);
  return leading_number(platform::first_characters(*value, integer_text_limit));
}

ProfileWriteResult profile_write(std::optional<std::string_view> file, std::string_view section,
                                 const std::optional<std::string>& key,
                                 const std::optional<std::string>& value) {
  if (!storable(section) || (key && !storable(*key)) || (key && value && !storable(*value)))
    return {false, std::nullopt};
  bool deleting = !key || !value;
  // Deleting from a missing file succeeds and creates nothing (Windows
  // leaves an empty file behind, which helps nobody).
  if (!file) {
    if (deleting) return {true, std::nullopt};
    file = std::string_view();
  }
  ProfileText profile = decode_profile(*file);
  if (!key) return delete_section(std::move(profile), section);
  if (!value) return delete_key(std::move(profile), section, *key);
  return set_key(std::move(profile), section, *key, *value);
}

}  // namespace norv::settings
