#pragma once

// frmVersionUpdate: the program's only window. The user ticks the modules,
// picks a year, types the version text and presses "Update Version" or
// "Close". The window owns its controls and the summary text strMsg; it
// applies the enable rules of the boxes and the year list, and forwards
// "Update Version" to the update command it was given. Closing it, by
// "Close" or any other way, ends the program (the application quits when
// its last window closes).

#include <functional>
#include <string>

#include <QWidget>

#include "app/version_update_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace norv::app::gui {

// One press of "Update Version" on the window: the update command, bound to
// its message boxes and installation services.
using UpdateCommand = std::function<void(VersionUpdateWindow& window)>;

class frmVersionUpdate final : public QWidget, public VersionUpdateWindow {
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
  std::string& strMsg() override;
  void focus_year_list() override;
  void unload() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void create_controls();
  void fit_font_to_captions();
  bool captions_fit() const;
  void set_tab_order();
  void connect_events();

  void Form_Load();
  void Form_Activate();
  void chkFendrel_Click();
  void chkDovrel_Click();
  void chkBrenvik_Click();
  void cmbYear_Click();
  void cmdUpdate_Click();
  void Command1_Click();

  bool any_module_ticked() const;

  UpdateCommand update_command_;
  std::string str_msg_;
  bool activated_ = false;

  // In tab order (TabIndex 0 to 8).
  QPushButton* cmdUpdate_ = nullptr;
  QLabel* Label1_ = nullptr;
  QCheckBox* chkFendrel_ = nullptr;
  QCheckBox* chkDovrel_ = nullptr;
  QComboBox* cmbYear_ = nullptr;
  QLabel* Label2_ = nullptr;
  QLineEdit* txtVersion_ = nullptr;
  QCheckBox* chkBrenvik_ = nullptr;
  QPushButton* Command1_ = nullptr;
};

}  // namespace norv::app::gui
