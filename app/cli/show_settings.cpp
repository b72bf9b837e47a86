#include <ostream>

#include "app/cli/commands.h"
#include "app/cli/exit_status.h"
#include "app/installation_settings.h"
#include "app/update_messages.h"
#include "platform/path_text.h"
#include "settings/private_ini.h"

namespace norv::app::cli {

namespace {

// The native path only where it says something the value does not: on
// Windows, and for a value that is already native, it is the same text.
void print_setting(std::ostream& out, const std::string& label, const std::string& value,
                   const platform::PathMapper& paths) {
  out << label << ": " << (value.empty() ? "(empty)" : value) << '\n';
  if (value.empty()) return;
  const std::string native = platform::utf8_of(paths.to_native(value));
  if (native != value) out << "  native path: " << native << '\n';
}

}  // namespace

int show_settings(const InstallationSource& source, std::ostream& out, std::ostream& err) {
  try {
    const InstallationServices services = source.services();
    const std::string directory = read_installation_directory(services.registry);
    out << "Installation directory from " << source.description();
    if (source.from_registry())
      out << " (HKEY_LOCAL_MACHINE\\" << kInstallationKey << ", " << kInstallationValue << ")";
    out << '\n';
    if (directory.empty()) {
      out << kNotInstalledMessage << '\n';
      return kExitNotInstalled;
    }
    print_setting(out, "Installation directory", directory, source.paths());
    settings::CPrivateIni ini(services.profile);
    ini.FilePath(settings_file_path(directory));
    print_setting(out, "Settings file", ini.FilePath(), source.paths());
    if (const std::string problem = source.settings_file_problem(); !problem.empty())
      out << "  " << problem << '\n';
    print_setting(out, "[Fendrel] ServersMDBPath", read_fendrel_directory(ini), source.paths());
    print_setting(out, "[Brenvik] DatabaseDir", read_brenvik_directory(ini), source.paths());
    return kExitSummary;
  } catch (const std::exception& error) {
    err << error.what() << '\n';
    return kExitError;
  }
}

}  // namespace norv::app::cli
