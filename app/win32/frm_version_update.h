#pragma once

// frmVersionUpdate as a native Windows window: the controls of
// form_layout.h created with the ANSI window functions in tab order, placed
// by their twips at the dots per inch of the window's monitor, in the
// system's message font; the notifications of the controls forwarded to the
// handlers of VersionUpdateForm. The window cannot be resized. Unloading it
// (by "Close", by the update command, or by closing it any other way)
// destroys it and ends the program: WM_QUIT is posted.

#include <windows.h>

#include <array>
#include <string>

#include "app/version_update_form.h"

namespace norv::app::win32 {

class frmVersionUpdate final : public VersionUpdateForm {
 public:
  // Creates the window loaded (Form_Load has run) and hidden. Throws std::runtime_error when Windows
  // cannot create it.
  explicit frmVersionUpdate(UpdateCommand update_command);
  ~frmVersionUpdate() override;

  frmVersionUpdate(const frmVersionUpdate&) = delete;
  frmVersionUpdate& operator=(const frmVersionUpdate&) = delete;

  // Shows and activates the window; the first showing centres it on its
  // monitor, runs Form_Activate and puts the focus on the first control in
  // tab order that takes it.
  void show(int show_command = SW_SHOWNORMAL);

  // For the message loop: handles the dialog keys (Tab, Shift+Tab, the
  // arrows between boxes, Return on a button) of a message meant for this
  // window or its controls; true when the message needs no further dispatch.
  bool translate_dialog_message(MSG& message);

  // Null once the window has been unloaded.
  HWND hwnd() const { return window_; }
  HWND control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }
  int dots_per_inch() const { return dots_per_inch_; }

  bool fendrel_ticked() const override;
  bool dovrel_ticked() const override;
  bool brenvik_ticked() const override;
  std::string version_text() const override;
  std::string year_text() const override;
  void focus_year_list() override;
  void unload() override;

 protected:
  void add_year(const std::string& text) override;
  int year_list_index() const override;
  void set_enabled(ControlId control, bool enabled) override;

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT handle(UINT message, WPARAM w, LPARAM l);
  void create_controls();
  void lay_out(int dots_per_inch);
  HFONT font_fitting_captions(int dots_per_inch) const;
  bool captions_fit(HFONT font, int dots_per_inch) const;
  void share_check_box_overlaps();
  void on_command(int id, int notification);
  void press_focused_button();
  void focus_first_control();
  void centre_on_monitor();
  bool ticked(ControlId box) const;

  HWND window_ = nullptr;
  std::array<HWND, kControls.size()> controls_{};
  HFONT font_ = nullptr;
  int dots_per_inch_ = 96;
  bool activated_ = false;
  bool quit_when_destroyed_ = true;
  HWND focus_before_deactivation_ = nullptr;
};

}  // namespace norv::app::win32
