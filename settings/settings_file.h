#pragma once

// A settings file as the private-profile functions find it: absent,
// readable (its bytes), or there but unusable, for a reason to tell the
// user. Something that is not an ordinary file, or is far larger than any
// settings file, reads as missing, as Windows reads it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace norv::settings {

struct SettingsFile {
  enum class State { missing, readable, unusable } state = State::missing;
  std::string contents;  // readable: the file; unusable: why it is not

  std::optional<std::string_view> bytes() const {
    if (state != State::readable) return std::nullopt;
    return std::string_view(contents);
  }
};

SettingsFile load_settings_file(const std::filesystem::path& path);

}  // namespace norv::settings
