#pragma once

// Where a run finds the installation and the module database directories:
// HKEY_LOCAL_MACHINE "Software\Norv Software" value InstallDir, then the
// installation directory + "\NORV.INI", [Fendrel] ServersMDBPath and
// [Brenvik] DatabaseDir. Every miss reads as the empty text.

#include <string>

#include "settings/private_ini.h"
#include "settings/registry.h"

namespace norv::app {

inline constexpr const char* kInstallationKey = "Software\\Norv Software";
inline constexpr const char* kInstallationValue = "InstallDir";

std::string read_installation_directory(const settings::Registry& registry);

// installation directory + "\NORV.INI", the directory used as it is.
std::string settings_file_path(const std::string& installation_directory);

std::string read_fendrel_directory(const settings::CPrivateIni& ini);
std::string read_brenvik_directory(const settings::CPrivateIni& ini);

}  // namespace norv::app
