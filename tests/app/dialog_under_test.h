#pragma once

// What the dialog behaviour suite (dialog_behaviour_test.cpp) needs of a
// window: a user's actions on its controls and what the user can see.
// Each front end's tests implement it on their real window and provide
// show_dialog_under_test(); the suite is then the same for all of them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form_layout.h"
#include "app/version_update_form.h"

namespace norv::test {

class DialogUnderTest {
 public:
  virtual ~DialogUnderTest() = default;

  virtual app::VersionUpdateWindow& window() = 0;

  // A click on a box or a button.
  virtual void click(app::ControlId control) = 0;
  // Picks entry `index` of the year list as a user does.
  virtual void choose_year(int index) = 0;
  // Gives the year list the focus and presses the down arrow once.
  virtual void step_year_with_keyboard() = 0;
  // Replaces the version text.
  virtual void type_version(const std::string& text) = 0;
  // Presses the space bar on the focused control.
  virtual void press_space() = 0;
  virtual void focus(app::ControlId control) = 0;
  // Presses Tab (or Shift+Tab) `times` times: the names of the controls the
  // focus visited.
  virtual std::vector<std::string> tab(int times, bool backwards) = 0;
  // The close command of the window's frame.
  virtual void close_from_desktop() = 0;

  virtual bool enabled(app::ControlId control) const = 0;
  virtual bool ticked(app::ControlId box) const = 0;
  // The chosen entry from 0, -1 while none is.
  virtual int year_index() const = 0;
  virtual std::vector<std::string> years() const = 0;
  // The name of the focused control, "" when none has the focus.
  virtual std::string focused() const = 0;
  virtual bool is_open() const = 0;
  // Whether a year forced onto the disabled list is chosen
  // (enable_rule_sequences.h).
  virtual bool disabled_list_obeys_a_forced_choice() const = 0;

  // Does `action` and tells whether the program then ended (its message
  // loop was told to return) within `wait_ms`.
  virtual bool program_ends_after(const std::function<void()>& action, int wait_ms) = 0;
};

// The front end's window, shown and active, whose "Update Version" runs
// `command`.
std::unique_ptr<DialogUnderTest> show_dialog_under_test(app::UpdateCommand command);

}  // namespace norv::test
