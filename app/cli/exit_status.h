#pragma once

// The command line's exit statuses, documented in the README: one per way
// a run can end, and one for a command line that cannot be understood.

#include "app/update_command.h"

namespace norv::app::cli {

enum ExitStatus : int {
  kExitSummary = 0,
  kExitError = 1,
  kExitUsage = 2,
  kExitNotInstalled = 3,
  kExitNoControlTable = 4,
  kExitRefusedInput = 5,
};

constexpr ExitStatus exit_status_of(UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::refused_version:
    case UpdateOutcome::no_year:
      return kExitRefusedInput;
    case UpdateOutcome::not_installed:
      return kExitNotInstalled;
    case UpdateOutcome::no_control_table:
      return kExitNoControlTable;
    case UpdateOutcome::updated:
      return kExitSummary;
    case UpdateOutcome::error:
      return kExitError;
  }
  return kExitError;
}

}  // namespace norv::app::cli
