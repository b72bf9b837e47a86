#pragma once

// What the differential tests of the private-profile functions share: a
// folder for the settings files, Windows' own functions (through the
// project's wrapper, which the product calls) and a readable form of bytes.
// Windows builds only.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/path_mapper.h"
#include "settings/private_profile.h"
#include "tests/support/temp_dir.h"

namespace norv::settings {

struct Lookup {
  std::string section;
  std::string key;
  std::string default_value = "<default>";
  std::uint32_t size = 255;
};

// Bytes as C++ would spell them, so that a difference in blanks, line ends
// or code page is visible in the failure message.
inline std::string shown(std::string_view bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out + "\"";
}

inline std::string utf16le_with_bom(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// Settings files in a fresh folder, reachable by both implementations.
class ProfileDifferential : public ::testing::Test {
 protected:
  std::string windows_path(const std::string& file_name) const {
    std::u8string path = (dir_.path() / file_name).u8string();
    return std::string(path.begin(), path.end());
  }
  void put(const std::string& file_name, std::string_view bytes) const {
    test::write_file(dir_.path() / file_name, bytes);
  }
  std::optional<std::string> contents(const std::string& file_name) const {
    if (!std::filesystem::exists(dir_.path() / file_name)) return std::nullopt;
    return test::read_file(dir_.path() / file_name);
  }

  test::TempDir dir_;
  std::unique_ptr<platform::PathMapper> paths_ = platform::make_default_path_mapper();
  std::unique_ptr<PrivateProfile> windows_ = make_private_profile(*paths_);
};

}  // namespace norv::settings
