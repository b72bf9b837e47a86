#pragma once

// What the update command reads from and does to the window: the check
// boxes, the focus, unloading; plus what the updaters read (version and
// year texts) and the summary text strMsg.

#include "stamping/updater_window.h"

namespace norv::app {

class VersionUpdateWindow : public stamping::UpdaterWindow {
 public:
  // A box counts as ticked when its value is 1.
  virtual bool fendrel_ticked() const = 0;
  virtual bool dovrel_ticked() const = 0;
  virtual bool brenvik_ticked() const = 0;

  // Moves the keyboard focus to cmbYear.
  virtual void focus_year_list() = 0;

  // Unloads the window; as it is the program's only one, the program ends
  // once the current handler has returned.
  virtual void unload() = 0;
};

}  // namespace norv::app
