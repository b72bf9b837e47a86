#include "app/installation_settings.h"

namespace norv::app {

std::string read_installation_directory(const settings::Registry& registry) {
  return settings::GetRegistryString(registry, settings::HKEY_LOCAL_MACHINE_ROOT, kInstallationKey,
                                     kInstallationValue);
}

std::string settings_file_path(const std::string& installation_directory) {
  return installation_directory + "\\NORV.INI";
}

std::string read_fendrel_directory(const settings::CPrivateIni& ini) {
  return ini.GetStringSetting("Fendrel", "ServersMDBPath", "");
}

std::string read_brenvik_directory(const settings::CPrivateIni& ini) {
  return ini.GetStringSetting("Brenvik", "DatabaseDir", "");
}

}  // namespace norv::app
