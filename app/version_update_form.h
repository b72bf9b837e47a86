#pragma once

// frmVersionUpdate's behaviour, whatever toolkit draws it: the year list
// filled at load, the button's state at activation, the enable rules of the
// three boxes and the year list, "Update Version" and "Close". A front end
// creates the controls of form_layout.h, calls the handler of each event as
// it happens, and gives the rules the few control operations they need.

#include <functional>
#include <string>

#include "app/form_layout.h"
#include "app/version_update_window.h"

namespace norv::app {

// One press of "Update Version" on the window: the update command, bound to
// its message boxes and installation services.
using UpdateCommand = std::function<void(VersionUpdateWindow& window)>;

inline constexpr int kYearsListed = 6;

class VersionUpdateForm : public VersionUpdateWindow {
 public:
  // `update_command` runs on every press of the enabled "Update Version".
  explicit VersionUpdateForm(UpdateCommand update_command);

  std::string& strMsg() override;

  // The event handlers. A check box's handler runs after its value has
  // changed; none runs for a disabled control.
  void Form_Load();
  void Form_Activate();
  void chkFendrel_Click();
  void chkDovrel_Click();
  void chkBrenvik_Click();
  void cmbYear_Click();
  void cmdUpdate_Click();
  void Command1_Click();

 protected:
  // Appends an entry at the end of cmbYear.
  virtual void add_year(const std::string& text) = 0;
  // cmbYear's ListIndex: the chosen entry from 0, or -1 while none is chosen.
  virtual int year_list_index() const = 0;
  virtual void set_enabled(ControlId control, bool enabled) = 0;

 private:
  bool any_module_ticked() const;

  UpdateCommand update_command_;
  std::string str_msg_;
};

// The current year as a number, from the local date read at the call.
int current_year();

}  // namespace norv::app
