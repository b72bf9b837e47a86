#include "settings/settings_file.h"

#include <fstream>
#include <iterator>

namespace norv::settings {

namespace fs = std::filesystem;

namespace {

// Far beyond any settings file; it only keeps a runaway file from taking
// the machine's memory. Such a file reads as missing and refuses writes.
constexpr std::uintmax_t largest_settings_file = 64u << 20;

SettingsFile unusable(std::string why) { return {SettingsFile::State::unusable, std::move(why)}; }

}  // namespace

SettingsFile load_settings_file(const fs::path& path) {
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) return {};
  if (ec) return unusable("cannot be examined: " + ec.message());
  if (status.type() == fs::file_type::directory) return unusable("it is a folder");
  if (status.type() != fs::file_type::regular)
    return unusable("it is not an ordinary file (a pipe, a device or a socket)");
  std::uintmax_t size = fs::file_size(path, ec);
  if (ec) return unusable("its size cannot be read: " + ec.message());
  if (size > largest_settings_file)
    return unusable("it is larger than " + std::to_string(largest_settings_file >> 20) + " MiB");
  std::ifstream in(path, std::ios::binary);
  std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) return unusable("it cannot be read");
  return {SettingsFile::State::readable, std::move(contents)};
}

}  // namespace norv::settings
