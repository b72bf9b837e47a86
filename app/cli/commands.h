#pragma once

// The command line's actions; each returns the process's exit status.

#include <iosfwd>
#include <string>

#include "app/cli/installation_source.h"

namespace norv::app::cli {

struct UpdateRequest {
  bool fendrel = false;
  bool dovrel = false;
  bool brenvik = false;
  std::string year;
  std::string version = "1.0";
  bool dry_run = false;
};

// The update command of the dialog, run without a window. A dry run lists
// every file it tests and changes nothing.
int run_update(const UpdateRequest& request, const InstallationSource& source, std::ostream& out,
               std::ostream& err);

// The current Version values of every module database, all years present.
int show_versions(const InstallationSource& source, bool json, std::ostream& out,
                  std::ostream& err);

// Where the installation directory came from and the settings a run uses.
int show_settings(const InstallationSource& source, std::ostream& out, std::ostream& err);

}  // namespace norv::app::cli
