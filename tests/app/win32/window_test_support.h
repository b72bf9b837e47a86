#pragma once

// Drives the native frmVersionUpdate with window messages, as Windows
// delivers a user's clicks and keys: BM_CLICK on boxes and buttons,
// CB_SETCURSEL with the list's CBN_SELCHANGE, WM_SETTEXT on the version box,
// keys through the window's own dialog-key handling.

#include <windows.h>

#include <string>
#include <vector>

#include "app/win32/frm_version_update.h"

namespace norv::test {

class Win32WindowDriver {
 public:
  explicit Win32WindowDriver(app::win32::frmVersionUpdate& window) : window_(window) {}

  HWND control(app::ControlId id) const { return window_.control(id); }

  void click(app::ControlId id) const;
  // Chooses entry `index` of the year list and notifies the window, as the
  // list does when the user picks an entry.
  void choose_year(int index) const;
  void set_version(const std::string& text) const;
  // Presses `key` on the focused control: first the window's dialog keys,
  // then the control itself, as the program's message loop does.
  void press(WPARAM key, bool shift = false) const;
  // Presses Tab (or Shift+Tab) `times` times; the names of the controls the
  // focus visited.
  std::vector<std::string> tab(int times, bool backwards = false) const;
  // The name of the focused control, "" for none of the window's.
  std::string focused() const;

  bool enabled(app::ControlId id) const { return IsWindowEnabled(control(id)) != FALSE; }
  int year_index() const;
  std::vector<std::string> years() const;
  // The control's rectangle in the client area's pixels.
  RECT rect(app::ControlId id) const;

 private:
  app::win32::frmVersionUpdate& window_;
};

// Dispatches what waits in the thread's queue; a WM_QUIT among it is noted
// for quit_posted().
void pump_messages();

// True when WM_QUIT has been posted (the program ends) since the last call.
bool quit_posted();

}  // namespace norv::test
