#include "settings/registry_file_scanner.h"

#include <algorithm>
#include <utility>

#include "platform/case_fold.h"

namespace norv::settings {

namespace {

// Far longer than any registry value can be written; a longer line is
// skipped rather than held.
constexpr std::size_t longest_line = 4u << 20;

constexpr std::int32_t hkey_classes_root = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t hkey_current_user = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t hkey_users = static_cast<std::int32_t>(0x80000003u);
constexpr std::int32_t hkey_current_config = static_cast<std::int32_t>(0x80000005u);
constexpr std::int32_t no_root = 0;

constexpr std::uint32_t reg_sz = 1;
constexpr std::uint32_t reg_expand_sz = 2;
constexpr std::uint32_t reg_binary = 3;
constexpr std::uint32_t reg_dword = 4;
constexpr std::uint32_t reg_multi_sz = 7;

bool same_name(std::string_view a, std::string_view b) {
  return platform::equal_ignoring_case(a, b);
}

bool same_path(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!same_name(a[i], b[i])) return false;
  return true;
}

bool is_prefix(const std::vector<std::string>& prefix, const std::vector<std::string>& path) {
  if (prefix.size() > path.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (!same_name(prefix[i], path[i])) return false;
  return true;
}

std::vector<std::string> split_key_path(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::int32_t root_of_hive_name(std::string_view name) {
  struct Hive { std::string_view long_name, short_name; std::int32_t root; };
  static constexpr Hive hives[] = {
      {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE_ROOT},
      {"HKEY_CURRENT_USER", "HKCU", hkey_current_user},
      {"HKEY_CLASSES_ROOT", "HKCR", hkey_classes_root},
      {"HKEY_USERS", "HKU", hkey_users},
      {"HKEY_CURRENT_CONFIG", "HKCC", hkey_current_config},
  };
  for (const Hive& hive : hives)
    if (same_name(name, hive.long_name) || same_name(name, hive.short_name)) return hive.root;
  return no_root;
}

std::string_view skip_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::string_view trim_end(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string little_endian(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return bytes;
}

// The type and the rest of a hex value: "hex:" is REG_BINARY, "hex(N):"
// type N.
std::optional<std::pair<std::uint32_t, std::string_view>> hex_type(std::string_view data) {
  if (data.starts_with("hex:")) return std::pair{reg_binary, data.substr(4)};
  if (!data.starts_with("hex(")) return std::nullopt;
  std::size_t close = data.find("):");
  if (close == std::string_view::npos || close == 4) return std::nullopt;
  std::optional<std::uint32_t> type = parse_registry_dword(data.substr(4, close - 4));
  if (!type || close - 4 > 8) return std::nullopt;
  return std::pair{*type, data.substr(close + 2)};
}

}  // namespace

RegistryFileScanner::RegistryFileScanner(const RegistryQuery& query)
    : value_name_(query.value_name), root_(query.root) {
  query_valid_ = !query.sub_key.starts_with('\\');  // Windows refuses a leading separator
  direct_ = split_key_path(query.sub_key);
  bool software = !direct_.empty() && same_name(direct_[0], "Software");
  bool explicit_view = direct_.size() >= 2 && same_name(direct_[1], "Wow6432Node");
  if (root_ == HKEY_LOCAL_MACHINE_ROOT && software && !explicit_view) {
    redirected_ = {direct_[0], "Wow6432Node"};
    redirected_.insert(redirected_.end(), direct_.begin() + 1, direct_.end());
  }
}

void RegistryFileScanner::feed(std::string_view bytes) {
  if (format_ == Format::unknown || bytes.empty()) return;
  if (start_known_) {
    if (!utf16_) return feed_decoded(bytes);
    std::string text;
    utf16_decoder_.decode(bytes, text);
    return feed_decoded(text);
  }
  start_ += bytes;
  if (start_.size() >= 3) take_start();
}

// The byte-order mark decides how the rest is decoded.
void RegistryFileScanner::take_start() {
  start_known_ = true;
  std::string start = std::exchange(start_, {});
  std::string_view rest = start;
  if (rest.starts_with("\xFF\xFE")) {
    utf16_ = true;
    rest.remove_prefix(2);
  } else if (rest.starts_with("\xEF\xBB\xBF")) {
    rest.remove_prefix(3);
  }
  feed(rest);
}

void RegistryFileScanner::feed_decoded(std::string_view text) {
  while (!text.empty() && format_ != Format::unknown) {
    std::size_t end = text.find('\n');
    std::string_view piece = text.substr(0, end);
    std::size_t room = longest_line - std::min(line_.size(), longest_line);
    if (piece.size() > room) line_too_long_ = true;
    line_.append(piece.substr(0, room));
    if (end == std::string_view::npos) return;
    end_line();
    text.remove_prefix(end + 1);
  }
}

void RegistryFileScanner::end_line() {
  std::string_view line = line_;
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (!line_too_long_) {
    take_line(line);
  } else {
    // What cannot be read is never taken for the value asked for; an
    // unreadable key line ends the key before it.
    if (format_ == Format::undecided) format_ = Format::unknown;
    if (skip_blanks(line).starts_with('[')) current_ = KeyMatch::none;
    if (continuing_ != nullptr) std::exchange(continuing_, nullptr)->reset();
  }
  line_.clear();
  line_too_long_ = false;
}

RegistryDialect RegistryFileScanner::dialect() const {
  return format_ == Format::wine ? RegistryDialect::wine : RegistryDialect::regedit;
}

void RegistryFileScanner::take_line(std::string_view raw) {
  raw = raw.substr(0, raw.find('\0'));  // Wine reads lines as C strings
  if (format_ == Format::undecided) return take_first_line(raw);
  std::string converted;
  if (format_ != Format::wine && !utf16_) {
    converted = ansi_or_utf8_to_utf8(raw);
    raw = converted;
  }
  if (continuing_ != nullptr) return take_continuation(raw);
  std::string_view line = skip_blanks(raw);
  if (line.empty()) return;
  switch (line.front()) {
    case '[': return take_key_line(line);
    case '@':
    case '"': return take_value_line(line);
    default: break;
  }
  if (format_ != Format::wine) return;
  if (line.starts_with("#arch=")) wine32_ = trim_end(line) == "#arch=win32";
  if (line.starts_with(";; All keys relative to ")) {
    if (line.find("REGISTRY\\\\Machine") != std::string_view::npos) file_root_ = HKEY_LOCAL_MACHINE_ROOT;
    else if (line.find("REGISTRY\\\\User\\\\.Default") != std::string_view::npos) file_root_ = no_root;
    else if (line.find("REGISTRY\\\\User\\\\") != std::string_view::npos) file_root_ = hkey_current_user;
  }
}

void RegistryFileScanner::take_first_line(std::string_view line) {
  line = trim_end(line);
  if (line == "WINE REGISTRY Version 2") format_ = Format::wine;
  else if (line == "REGEDIT4") format_ = Format::regedit4;
  else if (line == "Windows Registry Editor Version 5.00") format_ = Format::regedit5;
  else format_ = Format::unknown;
}

std::optional<std::vector<std::string>> RegistryFileScanner::key_path(std::string_view line,
                                                                      bool& deletion) const {
  deletion = false;
  if (format_ == Format::wine) {
    std::optional<ParsedRegistryText> name = parse_registry_text(line, 1, ']', dialect());
    if (!name || file_root_ != root_) return std::nullopt;
    return split_key_path(name->text);
  }
  std::size_t close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  std::string_view name = line.substr(1, close - 1);
  deletion = name.starts_with('-');
  if (deletion) name.remove_prefix(1);
  std::vector<std::string> parts = split_key_path(name);
  if (parts.empty() || root_of_hive_name(parts.front()) != root_) return std::nullopt;
  parts.erase(parts.begin());
  return parts;
}

RegistryFileScanner::KeyMatch RegistryFileScanner::match(const std::vector<std::string>& path) const {
  if (!redirected_.empty() && same_path(path, redirected_)) return KeyMatch::redirected;
  if (same_path(path, direct_)) return KeyMatch::direct;
  return KeyMatch::none;
}

void RegistryFileScanner::take_key_line(std::string_view line) {
  current_ = KeyMatch::none;
  bool deletion = false;
  std::optional<std::vector<std::string>> path = key_path(line, deletion);
  if (!path) return;
  if (root_ == HKEY_LOCAL_MACHINE_ROOT && path->size() >= 2 && same_name((*path)[0], "Software") &&
      same_name((*path)[1], "Wow6432Node"))
    wow_node_seen_ = true;
  if (deletion) return forget_deleted(*path);
  current_ = match(*path);
  if (current_ == KeyMatch::redirected) redirected_key_seen_ = true;
}

void RegistryFileScanner::forget_deleted(const std::vector<std::string>& path) {
  if (is_prefix(path, direct_)) direct_value_.reset();
  if (!redirected_.empty() && is_prefix(path, redirected_)) {
    redirected_value_.reset();
    redirected_key_seen_ = false;
  }
}

void RegistryFileScanner::take_value_line(std::string_view line) {
  if (current_ == KeyMatch::none) return;
  std::optional<std::string> name;
  std::size_t next = 1;
  if (line.front() == '@') {
    name = std::string();
  } else if (std::optional<ParsedRegistryText> quoted = parse_registry_text(line, 1, '"', dialect())) {
    name = std::move(quoted->text);
    next = quoted->next;
  }
  if (!name || !same_name(*name, value_name_)) return;
  std::string_view rest = skip_blanks(line.substr(next));
  if (!rest.starts_with('=')) return;
  std::string_view data = trim_end(skip_blanks(rest.substr(1)));

  std::optional<Registry::RawValue>& target =
      current_ == KeyMatch::direct ? direct_value_ : redirected_value_;
  if (format_ != Format::wine && data == "-") return target.reset();

  struct StringForm { std::string_view prefix; std::uint32_t type; };
  static constexpr StringForm string_forms[] = {
      {"\"", reg_sz}, {"str:\"", reg_sz}, {"str(2):\"", reg_expand_sz}, {"str(7):\"", reg_multi_sz}};
  for (const StringForm& form : string_forms) {
    if (!data.starts_with(form.prefix) || (format_ != Format::wine && form.prefix != "\"")) continue;
    std::optional<ParsedRegistryText> text = parse_registry_text(data, form.prefix.size(), '"', dialect());
    if (text) target = Registry::RawValue{form.type, text->text + '\0'};
    return;
  }
  if (data.starts_with("dword:")) {
    std::optional<std::uint32_t> number = parse_registry_dword(skip_blanks(data.substr(6)));
    if (number) target = Registry::RawValue{reg_dword, little_endian(*number)};
    return;
  }
  std::optional<std::pair<std::uint32_t, std::string_view>> hex = hex_type(data);
  if (!hex) return;
  Registry::RawValue value{hex->first, {}};
  bool continues = false;
  if (!append_registry_hex(hex->second, value.data, continues)) return;
  target = std::move(value);
  if (continues) continuing_ = &target;
  else finish_string_from_hex(*target);
}

void RegistryFileScanner::take_continuation(std::string_view line) {
  Registry::RawValue& value = **continuing_;
  bool continues = false;
  if (!append_registry_hex(skip_blanks(line), value.data, continues)) {
    std::exchange(continuing_, nullptr)->reset();
    return;
  }
  if (continues) return;
  finish_string_from_hex(value);
  continuing_ = nullptr;
}

// String types given as hex bytes hold UTF-16LE (ANSI in REGEDIT4 files);
// the ANSI registry functions hand them out converted.
void RegistryFileScanner::finish_string_from_hex(Registry::RawValue& value) const {
  if (value.type != reg_sz && value.type != reg_expand_sz && value.type != reg_multi_sz) return;
  if (format_ == Format::regedit4) value.data = ansi_or_utf8_to_utf8(value.data);
  else value.data = sanitized_utf8(utf16le_to_utf8(value.data));
}

std::optional<Registry::RawValue> RegistryFileScanner::finish() {
  if (!start_known_) take_start();
  if (utf16_) {
    std::string text;
    utf16_decoder_.decode({}, text);
    feed_decoded(text);
  }
  if (!line_.empty() || line_too_long_) end_line();
  if (continuing_ != nullptr) std::exchange(continuing_, nullptr)->reset();  // cut off mid-list
  bool readable = format_ == Format::wine || format_ == Format::regedit4 || format_ == Format::regedit5;
  if (!readable || !query_valid_) return std::nullopt;
  if (redirected_.empty()) return direct_value_;
  bool use_view = format_ == Format::wine ? (!wine32_ && wow_node_seen_) : redirected_key_seen_;
  return use_view ? redirected_value_ : direct_value_;
}

std::optional<Registry::RawValue> find_registry_value(std::string_view file_bytes,
                                                      const RegistryQuery& query) {
  RegistryFileScanner scanner(query);
  scanner.feed(file_bytes);
  return scanner.finish();
}

}  // namespace norv::settings
