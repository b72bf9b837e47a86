#pragma once

// A Wine-style prefix holding a copy of the shared installation tree:
// drive_c/Norv with NORV.INI pointing at C:\Norv, dosdevices/c: ->
// ../drive_c, and system.reg with InstallDir in a 32-bit prefix. On Windows,
// where a program reads no prefix, the tree is prefix/Norv, NORV.INI points
// at that folder and the programs are given it with --install-dir. Only
// after NORV_REQUIRE_FIXTURES().

#include <filesystem>
#include <string>
#include <vector>

namespace norv::test {

struct InstallPrefix {
  std::filesystem::path prefix;
  std::filesystem::path install;   // prefix/drive_c/Norv (prefix/Norv on Windows)
  std::string windows_dir;         // C:\Norv (the native path on Windows)
  std::vector<std::string> where;  // the options that find it

  // The native path of a file below the installation, such as "Data/Fendrel.mdb".
  std::filesystem::path operator/(const std::string& relative) const { return install / relative; }
};

InstallPrefix make_install_prefix(const std::filesystem::path& prefix);

// The installation tree in a folder whose name is not ASCII, "Norv Größe",
// its NORV.INI in Windows-1252 as the suite writes it: below `root` on
// Windows, as C:\Programme\Norv Größe of the Wine prefix `root` elsewhere.
struct NonAsciiInstallation {
  std::filesystem::path install;  // native
  std::string windows_dir;        // as NORV.INI and --install-dir name it
  std::vector<std::string> where;  // the options that find it
};

NonAsciiInstallation make_non_ascii_installation(const std::filesystem::path& root);

// The Version values of a table (the column after ID), read with mdbtools,
// or with the engine and its index check where mdbtools cannot run.
std::vector<std::string> versions_of(const std::filesystem::path& db,
                                     const std::string& table = "Control");

}  // namespace norv::test
