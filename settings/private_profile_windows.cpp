// Windows' own private-profile functions, in their ANSI forms as the suite's
// programs call them. File names are used as they are.

#include <windows.h>

#include <stdexcept>

#include "platform/path_text.h"
#include "platform/system_text_windows.h"
#include "settings/private_profile.h"
#include "settings/settings_file.h"

namespace norv::settings {

namespace {

// The file Windows' functions read for `file_name`: a bare name lies in the
// Windows folder.
std::filesystem::path profile_file(const std::string& file_name) {
  if (file_name.find_first_of("\\/") != std::string::npos)
    return platform::path_from_utf8(file_name);
  std::wstring folder(MAX_PATH, L'\0');
  folder.resize(::GetWindowsDirectoryW(folder.data(), MAX_PATH));
  return std::filesystem::path(folder) / platform::path_from_utf8(file_name);
}

// A text for the settings file `file_name` in the ANSI code page; one that
// Windows cannot take is reported with the file it was meant for.
std::string ansi_for(const std::string& file_name, const std::string& text) {
  try {
    return platform::utf8_to_system_ansi(text);
  } catch (const std::runtime_error& error) {
    throw std::runtime_error("Settings file " + file_name + ": " + error.what());
  }
}

class WindowsPrivateProfile final : public PrivateProfile {
 public:
  std::string get_string(const std::string& section, const std::string& key,
                         const std::string& default_value, std::uint32_t size,
                         const std::string& file_name) const override {
    std::string buffer(size, '\0');
    DWORD count = ::GetPrivateProfileStringA(
        ansi_for(file_name, section).c_str(), ansi_for(file_name, key).c_str(),
        ansi_for(file_name, default_value).c_str(), buffer.data(), size,
        ansi_for(file_name, file_name).c_str());
    buffer.resize(count);
    return platform::system_ansi_to_utf8(buffer);
  }

  std::uint32_t get_int(const std::string& section, const std::string& key,
                        std::int32_t default_value, const std::string& file_name) const override {
    return ::GetPrivateProfileIntA(ansi_for(file_name, section).c_str(),
                                   ansi_for(file_name, key).c_str(), default_value,
                                   ansi_for(file_name, file_name).c_str());
  }

  // Windows' functions say nothing of a file they cannot read; the checks
  // of the project's own implementation find why.
  std::string unusable_reason(const std::string& file_name) const override {
    if (file_name.empty()) return {};
    SettingsFile file = load_settings_file(profile_file(file_name));
    return file.state == SettingsFile::State::unusable ? file.contents : std::string();
  }

  bool write_string(const std::string& section, const std::optional<std::string>& key,
                    const std::optional<std::string>& value,
                    const std::string& file_name) const override {
    std::optional<std::string> ansi_key;
    std::optional<std::string> ansi_value;
    if (key) ansi_key = ansi_for(file_name, *key);
    if (value) ansi_value = ansi_for(file_name, *value);
    return ::WritePrivateProfileStringA(ansi_for(file_name, section).c_str(),
                                        ansi_key ? ansi_key->c_str() : nullptr,
                                        ansi_value ? ansi_value->c_str() : nullptr,
                                        ansi_for(file_name, file_name).c_str()) != 0;
  }
};

}  // namespace

std::unique_ptr<PrivateProfile> make_private_profile(const platform::PathMapper&) {
  return std::make_unique<WindowsPrivateProfile>();
}

}  // namespace norv::settings
