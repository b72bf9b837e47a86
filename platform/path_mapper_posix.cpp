// Windows paths resolved the way Wine resolves them: drives are symbolic
// links in <prefix>/dosdevices, UNC shares live below dosdevices/unc, and
// each component that does not exist as spelled is looked up without regard
// to case, the exact spelling winning.

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/case_fold.h"
#include "platform/path_mapper.h"
#include "platform/wine_prefix.h"

namespace norv::platform {

namespace fs = std::filesystem;

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool is_drive_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c; }

// Win32 treats these names, with any extension, as devices in every folder.
bool is_dos_device_name(std::string_view name) {
  std::string base(name.substr(0, name.find('.')));
  while (!base.empty() && (base.back() == ' ' || base.back() == ':')) base.pop_back();
  std::transform(base.begin(), base.end(), base.begin(), lower_ascii);
  if (base == "con" || base == "prn" || base == "aux" || base == "nul") return true;
  return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) &&
         base[3] >= '1' && base[3] <= '9';
}

// The components below the root after Win32 normalisation: empty and "."
// components vanish, ".." removes its parent (never above the root), and
// trailing dots and blanks of the last component are dropped.
std::vector<std::string> normalised_components(std::string_view rest) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !is_separator(rest[end])) ++end;
    std::string part(rest.substr(start, end - start));
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  if (!parts.empty()) {
    std::string& last = parts.back();
    while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
    if (last.empty()) parts.pop_back();
  }
  return parts;
}

bool exists_as_spelled(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// The entry of `folder` that `name` denotes: the exact spelling when it
// exists, otherwise the first (in byte order) entry equal without regard to
// case; nothing when there is none.
std::optional<fs::path> find_entry(const fs::path& folder, const std::string& name) {
  fs::path exact = folder / name;
  if (exists_as_spelled(exact)) return exact;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  std::optional<std::string> best;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (equal_ignoring_case(candidate, name) && (!best || candidate < *best)) best = candidate;
  }
  if (!best) return std::nullopt;
  return folder / *best;
}

class WinePathMapper final : public PathMapper {
 public:
  explicit WinePathMapper(fs::path prefix) : dosdevices_(std::move(prefix) / "dosdevices") {}

  fs::path to_native(std::string_view windows_path) const override {
    if (windows_path.empty()) return {};
    // A native absolute path (a share mounted here): the names the tool
    // appends with "\" continue it, looked up as every other path is.
    if (windows_path.front() == '/') return resolve("/", normalised_components(windows_path));
    std::string path = without_namespace_prefix(windows_path);
    if (path.empty()) return {};
    auto [root, rest] = split_root(path);
    std::vector<std::string> parts = normalised_components(rest);
    if (!parts.empty() && is_dos_device_name(parts.back())) return "/dev/null";
    return resolve(root, parts);
  }

 private:
  // "\\?\C:\x" and "\\.\C:\x" name C:\x without further normalisation;
  // "\\?\UNC\server\share" is the UNC path \\server\share.
  static std::string without_namespace_prefix(std::string_view path) {
    if (path.size() < 4 || !is_separator(path[0]) || !is_separator(path[1]) ||
        (path[2] != '?' && path[2] != '.') || !is_separator(path[3]))
      return std::string(path);
    std::string_view inner = path.substr(4);
    if (inner.size() >= 4 && equal_ignoring_case(inner.substr(0, 3), "UNC") &&
        is_separator(inner[3]))
      return "\\\\" + std::string(inner.substr(4));
    return std::string(inner);
  }

  // The folder the path starts from and the text below it.
  std::pair<fs::path, std::string_view> split_root(std::string_view path) const {
    if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
      return {drive_or_share_root("unc"), path.substr(2)};
    }
    // "C:name" has no current folder of its drive here: it is read as C:\name.
    if (path.size() >= 2 && is_drive_letter(path[0]) && path[1] == ':') {
      return {drive_or_share_root(std::string{lower_ascii(path[0]), ':'}), path.substr(2)};
    }
    if (is_separator(path[0])) return {drive_or_share_root("c:"), path};
    return {fs::path(), path};  // relative to the current folder
  }

  fs::path drive_or_share_root(const std::string& link_name) const {
    return find_entry(dosdevices_, link_name).value_or(dosdevices_ / link_name);
  }

  static fs::path resolve(fs::path folder, const std::vector<std::string>& parts) {
    bool found = true;
    for (const std::string& part : parts) {
      std::optional<fs::path> entry;
      if (found) entry = find_entry(folder, part);
      found = entry.has_value();
      folder = found ? *entry : folder / part;
    }
    return folder;
  }

  fs::path dosdevices_;
};

}  // namespace

std::unique_ptr<PathMapper> make_wine_path_mapper(const fs::path& prefix) {
  return std::make_unique<WinePathMapper>(prefix);
}

std::unique_ptr<PathMapper> make_default_path_mapper() {
  return make_wine_path_mapper(default_wine_prefix());
}

}  // namespace norv::platform
