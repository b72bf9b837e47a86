// Windows' own private-profile functions, in their ANSI forms as the suite's
// programs call them. File names are used as they are.

#include <windows.h>

#include "settings/private_profile.h"
#include "platform/system_text_windows.h"

namespace norv::settings {

namespace {

class WindowsPrivateProfile final : public PrivateProfile {
 public:
  std::string get_string(const std::string& section, const std::string& key,
                         const std::string& default_value, std::uint32_t size,
                         const std::string& file_name) const override {
    std::string buffer(size, '\0');
    DWORD count = ::GetPrivateProfileStringA(
        platform::utf8_to_system_ansi(section).c_str(), platform::utf8_to_system_ansi(key).c_str(),
        platform::utf8_to_system_ansi(default_value).c_str(), buffer.data(), size,
        platform::utf8_to_system_ansi(file_name).c_str());
    buffer.resize(count);
    return platform::system_ansi_to_utf8(buffer);
  }

  std::uint32_t get_int(const std::string& section, const std::string& key,
                        std::int32_t default_value, const std::string& file_name) const override {
    return ::GetPrivateProfileIntA(platform::utf8_to_system_ansi(section).c_str(),
                                   platform::utf8_to_system_ansi(key).c_str(), default_value,
                                   platform::utf8_to_system_ansi(file_name).c_str());
  }

  bool write_string(const std::string& section, const std::optional<std::string>& key,
                    const std::optional<std::string>& value,
                    const std::string& file_name) const override {
    std::optional<std::string> ansi_key;
    std::optional<std::string> ansi_value;
    if (key) ansi_key = platform::utf8_to_system_ansi(*key);
    if (value) ansi_value = platform::utf8_to_system_ansi(*value);
    return ::WritePrivateProfileStringA(platform::utf8_to_system_ansi(section).c_str(),
                                        ansi_key ? ansi_key->c_str() : nullptr,
                                        ansi_value ? ansi_value->c_str() : nullptr,
                                        platform::utf8_to_system_ansi(file_name).c_str()) != 0;
  }
};

}  // namespace

std::unique_ptr<PrivateProfile> make_private_profile(const platform::PathMapper&) {
  return std::make_unique<WindowsPrivateProfile>();
}

}  // namespace norv::settings
