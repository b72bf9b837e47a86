#include "app/cli/demo_installation.h"

#include <algorithm>
#include <fstream>

#include "platform/error.h"
#include "platform/path_text.h"
#ifdef _WIN32
#include "platform/system_text_windows.h"
#endif
#include "stamping/company_number.h"

namespace norv::app::cli {

namespace {

void write_text(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw IoError("Cannot write " + path.string() + "; check the folder's permissions.");
}

// A 64-bit prefix: the 32-bit view of HKLM\Software is Wow6432Node.
void write_registry(const std::filesystem::path& prefix) {
  write_text(prefix / "system.reg",
             "WINE REGISTRY Version 2\n"
             ";; All keys relative to REGISTRY\\\\Machine\n"
             "\n"
             "#arch=win64\n"
             "\n"
             "[Software\\\\Wow6432Node\\\\Norv Software] 1765000000\n"
             "#time=1dc6b0a3a1c0000\n"
             "\"InstallDir\"=\"C:\\\\Norv\"\n");
}

// dosdevices/c: -> ../drive_c, for Wine and for this tool's reading of a
// prefix. Windows itself needs no such link (and lets few users make one):
// there the demo is the folder tree alone.
void link_drive_c(const std::filesystem::path& prefix) {
#ifdef _WIN32
  (void)prefix;
#else
  std::filesystem::create_directories(prefix / "dosdevices");
  std::filesystem::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
#endif
}

// NORV.INI names the folders in the ANSI code page, as the suite writes it.
void write_settings(const std::filesystem::path& prefix) {
#ifdef _WIN32
  const std::string folder = platform::utf8_to_system_ansi(demo_installation_folder(prefix));
#else
  const std::string folder = demo_installation_folder(prefix);
#endif
  write_text(demo_installation_path(prefix) / "NORV.INI",
             "[Fendrel]\r\n"
             "ServersMDBPath=" + folder + "\\Data\r\n"
             "\r\n"
             "[Brenvik]\r\n"
             "DatabaseDir=" + folder + "\\Brenvik\r\n");
}

// Fendrel.mdb with both control tables; per year I, P and S, and T only in
// the newest year; Dovrel.mdb.
std::vector<DemoDatabase> fendrel_and_dovrel(const std::filesystem::path& data,
                                             const DemoLayout& layout) {
  std::vector<DemoDatabase> databases{{data / "Fendrel.mdb", true, {}},
                                      {data / "Dovrel" / "Dovrel.mdb", false, {}}};
  for (std::size_t i = 0; i < layout.years.size(); ++i) {
    const std::string& year = layout.years[i];
    for (const char* letter : {"I", "P", "S", "T"}) {
      if (std::string(letter) == "T" && i != 0) continue;
      databases.push_back({data / year / (letter + year + ".mdb"), false, {}});
    }
  }
  return databases;
}

std::vector<DemoDatabase> brenvik(const std::filesystem::path& directory,
                                  const DemoLayout& layout) {
  std::vector<int> numbers;
  std::vector<DemoDatabase> databases;
  for (int n = 0; n <= layout.highest_company; ++n) {
    if (std::find(layout.missing_companies.begin(), layout.missing_companies.end(), n) !=
        layout.missing_companies.end())
      continue;
    numbers.push_back(n);
    databases.push_back(
        {directory / stamping::company_database_name(static_cast<std::int16_t>(n)), false, {}});
  }
  databases.insert(databases.begin(), {directory / "Company.mdb", false, numbers});
  return databases;
}

// The demo writes a whole prefix (system.reg, drive_c, dosdevices): only
// into a folder it makes or an empty one, so that no file of the user's,
// such as a real prefix's registry, is ever replaced.
void require_empty_or_absent(const std::filesystem::path& prefix) {
  if (prefix.empty()) {
    throw InvalidArgumentError(
        "--create-demo needs the name of a folder that does not exist yet or is empty.");
  }
  std::error_code error;
  const auto status = std::filesystem::symlink_status(prefix, error);
  if (status.type() == std::filesystem::file_type::not_found) return;
  if (std::filesystem::is_directory(prefix, error) && std::filesystem::is_empty(prefix, error) &&
      !error)
    return;
  throw InvalidArgumentError(excerpt(prefix.string()) +
                             " already exists and is not an empty folder; the demo is only "
                             "built in a new or empty folder. Choose another one.");
}

}  // namespace

std::filesystem::path demo_installation_path(const std::filesystem::path& prefix) {
  return prefix / "drive_c" / "Norv";
}

std::string demo_installation_folder(const std::filesystem::path& prefix) {
#ifdef _WIN32
  return platform::utf8_of(std::filesystem::absolute(demo_installation_path(prefix)));
#else
  (void)prefix;
  return "C:\\Norv";
#endif
}

std::vector<std::filesystem::path> create_demo_installation(const std::filesystem::path& prefix,
                                                            const DemoLayout& layout) {
  require_empty_or_absent(prefix);
  const std::filesystem::path install = demo_installation_path(prefix);
  std::filesystem::create_directories(install);
  link_drive_c(prefix);
  write_registry(prefix);
  write_settings(prefix);

  auto databases = fendrel_and_dovrel(install / "Data", layout);
  auto company = brenvik(install / "Brenvik", layout);
  databases.insert(databases.end(), company.begin(), company.end());
  std::vector<std::filesystem::path> written;
  for (const DemoDatabase& database : databases) {
    std::filesystem::create_directories(database.path.parent_path());
    write_demo_database(database);
    written.push_back(database.path);
  }
  return written;
}

}  // namespace norv::app::cli
