#pragma once

// Drives frmVersionUpdate as a user does: mouse clicks and key presses on
// its real controls, found by their object names.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/gui/frm_version_update.h"

namespace norv::test {

// Runs the application's event loop, doing `user_action` from inside it;
// true when the loop then ended by itself (the program ended) within
// `wait_ms`.
bool program_ends_after(const std::function<void()>& user_action, int wait_ms = 5000);

class WindowDriver {
 public:
  explicit WindowDriver(app::gui::frmVersionUpdate& window) : window_(window) {}

  // Shows the window and waits until it is active; false on a timeout.
  bool show();

  QCheckBox& check_box(const char* name) const { return find<QCheckBox>(name); }
  QComboBox& year_list() const { return find<QComboBox>("cmbYear"); }
  QLineEdit& version_box() const { return find<QLineEdit>("txtVersion"); }
  QPushButton& button(const char* name) const { return find<QPushButton>(name); }
  QLabel& label(const char* name) const { return find<QLabel>(name); }

  // A left click on the box's indicator.
  void click_box(const char* name) const;
  // Opens the list with a click and clicks entry `index` in its popup.
  void choose_year_in_popup(int index) const;
  // Gives the list the focus and presses the down arrow `times` times.
  void step_year_with_keyboard(int times) const;
  void click_button(const char* name) const;
  // Selects the version text and types `text` over it.
  void type_version(const std::string& text) const;
  // Presses Tab (or Shift+Tab) `times` times and returns the object names of
  // the controls the focus visited.
  std::vector<std::string> tab(int times, bool backwards = false) const;
  // The object name of the focused control, or "" when none has the focus.
  std::string focused() const;

 private:
  template <typename Control>
  Control& find(const char* name) const {
    auto* control = window_.findChild<Control*>(QString::fromLatin1(name));
    if (!control) throw std::logic_error(std::string("no such control: ") + name);
    return *control;
  }

  app::gui::frmVersionUpdate& window_;
};

}  // namespace norv::test
