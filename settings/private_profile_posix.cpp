// The private-profile functions where Windows provides none: the settings
// file is found through the path mapper, read whole for each call (Windows
// too sees every change at the next call), and a change replaces the file
// atomically so that a crash never leaves it half written.

#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/replace_file.h"
#include "settings/private_profile.h"
#include "settings/profile_functions.h"
#include "settings/settings_file.h"

namespace norv::settings {

namespace fs = std::filesystem;

namespace {

// Windows refuses to write a read-only file; under Wine a file without any
// write permission is read-only, whoever runs the program.
bool may_write(const fs::path& path, const SettingsFile& file) {
  if (file.state == SettingsFile::State::unusable) return false;
  if (file.state == SettingsFile::State::missing) {
    std::error_code ec;
    fs::path folder = path.parent_path();
    return fs::is_directory(folder.empty() ? fs::path(".") : folder, ec);
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

class PosixPrivateProfile final : public PrivateProfile {
 public:
  explicit PosixPrivateProfile(const platform::PathMapper& paths) : paths_(paths) {}

  std::string get_string(const std::string& section, const std::string& key,
                         const std::string& default_value, std::uint32_t size,
                         const std::string& file_name) const override {
    SettingsFile file = load_settings_file(native(file_name));
    return profile_get_string(file.bytes(), section, key, default_value, size);
  }

  std::uint32_t get_int(const std::string& section, const std::string& key,
                        std::int32_t default_value, const std::string& file_name) const override {
    SettingsFile file = load_settings_file(native(file_name));
    return profile_get_int(file.bytes(), section, key, default_value);
  }

  std::string unusable_reason(const std::string& file_name) const override {
    SettingsFile file = load_settings_file(native(file_name));
    return file.state == SettingsFile::State::unusable ? file.contents : std::string();
  }

  bool write_string(const std::string& section, const std::optional<std::string>& key,
                    const std::optional<std::string>& value,
                    const std::string& file_name) const override {
    if (file_name.empty()) return false;
    fs::path path = native(file_name);
    SettingsFile file = load_settings_file(path);
    if (!may_write(path, file)) return false;
    ProfileWriteResult result = profile_write(file.bytes(), section, key, value);
    if (!result.ok || !result.new_contents) return result.ok;
    try {
      platform::replace_file(path, *result.new_contents);
    } catch (const IoError&) {
      return false;  // the function reports failure by its result alone
    }
    return true;
  }

 private:
  // A bare file name lies in the Windows folder, as Windows resolves it.
  fs::path native(const std::string& file_name) const {
    if (file_name.empty()) return {};
    if (file_name.find_first_of("\\/") == std::string::npos)
      return paths_.to_native("C:\\windows\\" + file_name);
    return paths_.to_native(file_name);
  }

  const platform::PathMapper& paths_;
};

}  // namespace

std::unique_ptr<PrivateProfile> make_private_profile(const platform::PathMapper& paths) {
  return std::make_unique<PosixPrivateProfile>(paths);
}

}  // namespace norv::settings
