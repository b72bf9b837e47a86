#include "tests/app/install_prefix.h"

#include "tests/support/fixtures.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::test {

InstallPrefix make_install_prefix(const std::filesystem::path& prefix) {
  namespace fs = std::filesystem;
  InstallPrefix result{prefix, prefix / "drive_c" / "Norv"};
  fs::create_directories(result.install);
  fs::copy(fixture("install-tree"), result.install, fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(result.install)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  }
  std::string ini = read_file(result.install / "NORV.INI");
  for (std::size_t at; (at = ini.find("@INSTALLDIR@")) != std::string::npos;)
    ini.replace(at, 12, "C:\\Norv");
  write_file(result.install / "NORV.INI", ini);
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
  write_file(prefix / "system.reg",
             "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
             "#arch=win32\n\n[Software\\\\Norv Software] 1765000000\n"
             "\"InstallDir\"=\"C:\\\\Norv\"\n");
  return result;
}

std::vector<std::string> versions_of(const std::filesystem::path& db, const std::string& table) {
  std::vector<std::string> versions;
  for (const auto& row : mdb_export(db, table)) versions.push_back(row.at(1));
  return versions;
}

}  // namespace norv::test
