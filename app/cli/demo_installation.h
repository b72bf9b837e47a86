#pragma once

// A miniature installation of the suite in a Wine-style prefix, for trying
// the tool: system.reg with InstallDir in the 32-bit view,
// dosdevices/c: -> drive_c, C:\Norv\NORV.INI, and the module databases
// (Control tables at version 0.9), with some yearly and company files
// missing on purpose.

#include <filesystem>
#include <string>
#include <vector>

namespace norv::app::cli {

struct DemoLayout {
  std::vector<std::string> years;  // yearly Fendrel folders, newest first
  int highest_company = 12;        // MAX(CompanyNo)
  std::vector<int> missing_companies = {3, 7};
};

// The demo's installation folder in `prefix`: drive_c/Norv.
std::filesystem::path demo_installation_path(const std::filesystem::path& prefix);

// That folder as the demo's NORV.INI and the programs name it: C:\Norv of
// the prefix; on Windows, which reads no prefix, the folder itself.
std::string demo_installation_folder(const std::filesystem::path& prefix);

// Builds the prefix in `prefix`, a folder that does not exist yet or is
// empty (anything else is refused before a file is written). Returns the native paths of the databases it wrote.
std::vector<std::filesystem::path> create_demo_installation(const std::filesystem::path& prefix,
                                                            const DemoLayout& layout);

// The one database kind of the demo: a Control table (and, for the
// Fendrel database, a DovrelControl table; for the company database, a
// Company table with the numbers given).
struct DemoDatabase {
  std::filesystem::path path;
  bool dovrel_control = false;
  std::vector<int> company_numbers;  // non-empty: Company.mdb
};

// Writes one demo database; implemented with the engine's creator.
void write_demo_database(const DemoDatabase& database);

}  // namespace norv::app::cli
