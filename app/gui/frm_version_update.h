#pragma once

// frmVersionUpdate drawn with Qt Widgets: the controls of form_layout.h
// placed by their twips, the events forwarded to the handlers of
// VersionUpdateForm. Closing the window, by "Close" or any other way, ends
// the program (the application quits when its last window closes).

#include <array>
#include <string>

#include <QWidget>

#include "app/version_update_form.h"

namespace norv::app::gui {

class frmVersionUpdate final : public QWidget, public VersionUpdateForm {
  Q_OBJECT

 public:
  // Creates the window loaded (Form_Load has run) but not yet shown; it
  // activates when first shown. `update_command` runs on every press of the
  // enabled "Update Version" button.
  explicit frmVersionUpdate(UpdateCommand update_command, QWidget* parent = nullptr);

  frmVersionUpdate(const frmVersionUpdate&) = delete;
  frmVersionUpdate& operator=(const frmVersionUpdate&) = delete;

  bool fendrel_ticked() const override;
  bool dovrel_ticked() const override;
  bool brenvik_ticked() const override;
  std::string version_text() const override;
  std::string year_text() const override;
  void focus_year_list() override;
  void unload() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void add_year(const std::string& text) override;
  int year_list_index() const override;
  void set_enabled(ControlId control, bool enabled) override;

 private:
  void create_controls();
  void fit_font_to_captions();
  bool captions_fit() const;
  void set_tab_order();
  void connect_events();

  QWidget& control(ControlId id) const;
  template <typename Control>
  Control& control_as(ControlId id) const;

  bool activated_ = false;
  // By TabIndex.
  std::array<QWidget*, kControls.size()> controls_{};
};

}  // namespace norv::app::gui
