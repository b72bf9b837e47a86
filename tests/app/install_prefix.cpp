#include "tests/app/install_prefix.h"

#include "platform/path_text.h"
#include "platform/utf8.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/written_rows.h"

namespace norv::test {

namespace {

namespace fs = std::filesystem;

// The suite writes its settings file in the ANSI code page, Windows-1252
// here: the letters of U+00A0..U+00FF are its bytes of the same value.
std::string windows_1252(std::string_view utf8) {
  const std::u32string characters = platform::decode_utf8(utf8).value();
  std::string out;
  for (char32_t c : characters) out.push_back(static_cast<char>(c));
  return out;
}

// The shared installation tree copied to `install`, its NORV.INI pointing
// at `windows_dir`.
void copy_install_tree(const fs::path& install, const std::string& windows_dir) {
  fs::create_directories(install);
  fs::copy(fixture("install-tree"), install, fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(install)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  }
  std::string ini = read_file(install / "NORV.INI");
  const std::string ansi_dir = windows_1252(windows_dir);
  for (std::size_t at; (at = ini.find("@INSTALLDIR@")) != std::string::npos;)
    ini.replace(at, 12, ansi_dir);
  write_file(install / "NORV.INI", ini);
}

#ifndef _WIN32
void make_drive_c(const fs::path& prefix) {
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
}
#endif

}  // namespace

InstallPrefix make_install_prefix(const std::filesystem::path& prefix) {
#ifdef _WIN32
  InstallPrefix result{prefix, prefix / "Norv", {}, {}};
  result.windows_dir = platform::utf8_of(result.install);
  result.where = {"--install-dir", result.windows_dir};
  copy_install_tree(result.install, result.windows_dir);
#else
  InstallPrefix result{prefix, prefix / "drive_c" / "Norv", "C:\\Norv",
                       {"--wine-prefix", prefix.string()}};
  copy_install_tree(result.install, result.windows_dir);
  make_drive_c(prefix);
  write_file(prefix / "system.reg",
             "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
             "#arch=win32\n\n[Software\\\\Norv Software] 1765000000\n"
             "\"InstallDir\"=\"C:\\\\Norv\"\n");
#endif
  return result;
}

NonAsciiInstallation make_non_ascii_installation(const std::filesystem::path& root) {
  NonAsciiInstallation result;
#ifdef _WIN32
  result.install = root / "Programme" / platform::path_from_utf8("Norv Größe");
  result.windows_dir = platform::utf8_of(result.install);
  result.where = {"--install-dir", result.windows_dir};
#else
  result.install = root / "drive_c" / "Programme" / "Norv Größe";
  result.windows_dir = "C:\\Programme\\Norv Größe";
  make_drive_c(root);
  result.where = {"--wine-prefix", root.string(), "--install-dir", result.windows_dir};
#endif
  copy_install_tree(result.install, result.windows_dir);
  return result;
}

std::vector<std::string> versions_of(const std::filesystem::path& db, const std::string& table) {
  std::vector<std::string> versions;
  for (const auto& row : written_rows(db, table)) versions.push_back(row.at(1));
  return versions;
}

}  // namespace norv::test
