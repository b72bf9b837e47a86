#pragma once

// cmdUpdate_Click: one run of "Update Version". Checks the version text and
// the year, finds the installation, reads NORV.INI and calls the updaters
// of the ticked modules in the order Fendrel, Dovrel, Brenvik; ends in one
// message box. Every error ends the run in the error box. The run also
// returns how it ended, so that a front end other than the dialog (the
// command line's exit status) need not read the box's text.

#include "app/message_boxes.h"
#include "app/version_update_window.h"
#include "platform/path_mapper.h"
#include "settings/private_profile.h"
#include "settings/registry.h"
#include "stamping/stamping_context.h"

namespace norv::app {

// The platform services one run uses; all must outlive the call.
struct InstallationServices {
  const settings::Registry& registry;
  const settings::PrivateProfile& profile;
  const platform::PathMapper& paths;
};

// How a run ended, one value per box it can end in.
enum class UpdateOutcome {
  refused_version,   // the version text is not a plain decimal number
  no_year,           // Fendrel ticked and no year chosen
  not_installed,     // no installation folder in the registry
  no_control_table,  // no ticked module had a database with its table
  updated,           // the summary of what was stamped
  error,             // the error box
};

UpdateOutcome cmdUpdate_Click(VersionUpdateWindow& window, MessageBoxes& boxes,
                              const InstallationServices& services);

// For front ends other than the dialog: an observer told of every file the
// run meets, and a dry run that changes nothing (see StampingContext).
struct UpdateRunOptions {
  stamping::StampObserver* observer = nullptr;
  bool dry_run = false;
};

UpdateOutcome cmdUpdate_Click(VersionUpdateWindow& window, MessageBoxes& boxes,
                              const InstallationServices& services,
                              const UpdateRunOptions& options);

}  // namespace norv::app
