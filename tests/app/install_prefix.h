#pragma once

// A Wine-style prefix holding a copy of the shared installation tree:
// drive_c/Norv with NORV.INI pointing at C:\Norv, dosdevices/c: ->
// ../drive_c, and system.reg with InstallDir in a 32-bit prefix. Only after
// NORV_REQUIRE_FIXTURES().

#include <filesystem>
#include <string>
#include <vector>

namespace norv::test {

struct InstallPrefix {
  std::filesystem::path prefix;
  std::filesystem::path install;  // prefix/drive_c/Norv

  // The native path of a file below the installation, such as "Data/Fendrel.mdb".
  std::filesystem::path operator/(const std::string& relative) const { return install / relative; }
};

InstallPrefix make_install_prefix(const std::filesystem::path& prefix);

// The Version values of a table, read with mdbtools (the column after ID).
std::vector<std::string> versions_of(const std::filesystem::path& db,
                                     const std::string& table = "Control");

}  // namespace norv::test
