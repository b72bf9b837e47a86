#include "app/update_command.h"

#include <exception>

#include "app/installation_settings.h"
#include "app/update_messages.h"
#include "app/version_number.h"
#include "settings/private_ini.h"
#include "stamping/brenvik_databases.h"
#include "stamping/dovrel_databases.h"
#include "stamping/fendrel_databases.h"

namespace norv::app {

namespace {

// One run from the version check to the summary; every error goes to the
// caller's one handler.
UpdateOutcome run_update(VersionUpdateWindow& window, MessageBoxes& boxes,
                         const InstallationServices& services, const UpdateRunOptions& options) {
  window.strMsg().clear();
  if (!is_plain_decimal_number(window.version_text())) {
    boxes.show(kInvalidVersionMessage, MB_OK, "");
    return UpdateOutcome::refused_version;
  }
  if (window.fendrel_ticked() && window.year_text().empty()) {
    boxes.show(kSelectYearMessage, MB_OK, "");
    window.focus_year_list();
    return UpdateOutcome::no_year;
  }
  std::string directory = read_installation_directory(services.registry);
  if (directory.empty()) {
    boxes.show(kNotInstalledMessage, MB_OK, "");
    window.unload();
    return UpdateOutcome::not_installed;
  }
  settings::CPrivateIni ini(services.profile);
  ini.FilePath(settings_file_path(directory));
  directory = read_fendrel_directory(ini);

  const stamping::StampingContext context{window, services.paths, options.observer,
                                          options.dry_run};
  if (window.fendrel_ticked()) stamping::UpdateFendrelDatabases(context, directory);
  if (window.dovrel_ticked()) stamping::UpdateDovrelDatabases(context, directory);
  if (window.brenvik_ticked()) {
    directory = read_brenvik_directory(ini);
    stamping::UpdateBrenvikDatabases(context, directory);
  }

  if (window.strMsg().empty()) {
    boxes.show(kNoControlTableMessage, MB_ICONINFORMATION, "");
    return UpdateOutcome::no_control_table;
  }
  boxes.show(updated_message(window.version_text(), window.strMsg()), MB_OK, "");
  return UpdateOutcome::updated;
}

}  // namespace

UpdateOutcome cmdUpdate_Click(VersionUpdateWindow& window, MessageBoxes& boxes,
                              const InstallationServices& services) {
  return cmdUpdate_Click(window, boxes, services, UpdateRunOptions{});
}

UpdateOutcome cmdUpdate_Click(VersionUpdateWindow& window, MessageBoxes& boxes,
                              const InstallationServices& services,
                              const UpdateRunOptions& options) {
  // The run's one error handler: whatever stops the run is shown, and the
  // window stays as it was.
  try {
    return run_update(window, boxes, services, options);
  } catch (const std::exception& error) {
    boxes.show(error.what(), MB_ICONERROR, kErrorTitle);
    return UpdateOutcome::error;
  }
}

}  // namespace norv::app
