#include "app/gui/frm_version_update.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/gui/twips.h"
#include "app/message_boxes.h"

namespace norv::app::gui {
namespace {

constexpr int kClientWidthTwips = 3540;
constexpr int kClientHeightTwips = 2130;
constexpr int kYearsListed = 6;

// Where each control sits, in twips.
constexpr TwipsRect kCmdUpdate{1920, 1050, 1455, 375};
constexpr TwipsRect kLabel1{120, 240, 825, 195};
constexpr TwipsRect kChkFendrel{240, 870, 1335, 495};
constexpr TwipsRect kChkDovrel{240, 1175, 1215, 495};
constexpr TwipsRect kCmbYear{1080, 150, 1335, 315};
constexpr TwipsRect kLabel2{120, 600, 735, 255};
constexpr TwipsRect kTxtVersion{1080, 520, 1335, 315};
constexpr TwipsRect kChkBrenvik{240, 1500, 1455, 495};
constexpr TwipsRect kCommand1{1920, 1560, 1455, 375};

// Creates a child control of `window` with its object name and places it.
template <typename Control, typename... Args>
Control* make_control(QWidget& window, const char* name, const TwipsRect& rect, Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)..., &window);
  control->setObjectName(QString::fromLatin1(name));
  const double dpi_x = window.logicalDpiX();
  const double dpi_y = window.logicalDpiY();
  control->setGeometry(twips_to_pixels(rect.left, dpi_x), twips_to_pixels(rect.top, dpi_y),
                       twips_to_pixels(rect.width, dpi_x), twips_to_pixels(rect.height, dpi_y));
  return control;
}

}  // namespace

frmVersionUpdate::frmVersionUpdate(UpdateCommand update_command, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      update_command_(std::move(update_command)) {
  setObjectName(QStringLiteral("frmVersionUpdate"));
  setWindowTitle(QString::fromLatin1(kApplicationTitle));
  setFixedSize(twips_to_pixels(kClientWidthTwips, logicalDpiX()),
               twips_to_pixels(kClientHeightTwips, logicalDpiY()));
  create_controls();
  fit_font_to_captions();
  set_tab_order();
  connect_events();
  Form_Load();
}

void frmVersionUpdate::create_controls() {
  cmdUpdate_ = make_control<QPushButton>(*this, "cmdUpdate", kCmdUpdate,
                                         QStringLiteral("Update Version"));
  cmdUpdate_->setEnabled(false);

  Label1_ = make_control<QLabel>(*this, "Label1", kLabel1, QStringLiteral("Select Year"));

  chkFendrel_ =
      make_control<QCheckBox>(*this, "chkFendrel", kChkFendrel, QStringLiteral("Fendrel"));
  chkDovrel_ = make_control<QCheckBox>(*this, "chkDovrel", kChkDovrel, QStringLiteral("Dovrel"));

  // A strict drop-down list: the user chooses an entry and cannot type.
  cmbYear_ = make_control<QComboBox>(*this, "cmbYear", kCmbYear);
  cmbYear_->setEditable(false);
  cmbYear_->setEnabled(false);

  Label2_ = make_control<QLabel>(*this, "Label2", kLabel2, QStringLiteral("Version:"));

  txtVersion_ = make_control<QLineEdit>(*this, "txtVersion", kTxtVersion, QStringLiteral("1.0"));

  chkBrenvik_ =
      make_control<QCheckBox>(*this, "chkBrenvik", kChkBrenvik, QStringLiteral("Brenvik"));

  Command1_ = make_control<QPushButton>(*this, "Command1", kCommand1, QStringLiteral("Close"));
}

// The layout is fixed in twips, but the desktop's font may be wider than
// the one the layout was drawn for: the window's font then shrinks in half
// points until every caption fits its control, down to a legible floor.
void frmVersionUpdate::fit_font_to_captions() {
  constexpr double kSmallestPointSize = 7.0;
  constexpr double kStep = 0.5;
  QFont shrunk = font();
  while (!captions_fit() && shrunk.pointSizeF() - kStep >= kSmallestPointSize) {
    shrunk.setPointSizeF(shrunk.pointSizeF() - kStep);
    setFont(shrunk);
  }
}

bool frmVersionUpdate::captions_fit() const {
  const QWidget* const captioned[] = {cmdUpdate_,  Label1_, chkFendrel_, chkDovrel_,
                                      Label2_, chkBrenvik_, Command1_};
  return std::all_of(std::begin(captioned), std::end(captioned), [](const QWidget* control) {
    return control->sizeHint().width() <= control->width();
  });
}

// TabIndex order; the labels take no focus and so have no place in it.
void frmVersionUpdate::set_tab_order() {
  QWidget* const chain[] = {cmdUpdate_, chkFendrel_, chkDovrel_, cmbYear_,
                            txtVersion_, chkBrenvik_, Command1_};
  for (std::size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

// Check boxes report clicked and the list reports activated only for the
// user's own changes, by mouse or keyboard; activated also fires when the
// user chooses the entry already chosen, which the year rule needs after
// Fendrel is ticked again.
void frmVersionUpdate::connect_events() {
  connect(chkFendrel_, &QCheckBox::clicked, this, &frmVersionUpdate::chkFendrel_Click);
  connect(chkDovrel_, &QCheckBox::clicked, this, &frmVersionUpdate::chkDovrel_Click);
  connect(chkBrenvik_, &QCheckBox::clicked, this, &frmVersionUpdate::chkBrenvik_Click);
  connect(cmbYear_, &QComboBox::activated, this, &frmVersionUpdate::cmbYear_Click);
  connect(cmdUpdate_, &QPushButton::clicked, this, &frmVersionUpdate::cmdUpdate_Click);
  connect(Command1_, &QPushButton::clicked, this, &frmVersionUpdate::Command1_Click);
}

// The current year and the five before it, newest first, the date read
// afresh for each entry; none chosen.
void frmVersionUpdate::Form_Load() {
  for (int n = 0; n < kYearsListed; ++n)
    cmbYear_->addItem(QString::number(QDate::currentDate().year() - n));
  cmbYear_->setCurrentIndex(-1);
}

void frmVersionUpdate::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!activated_) {
    activated_ = true;
    Form_Activate();
  }
}

void frmVersionUpdate::Form_Activate() {
  cmdUpdate_->setEnabled(fendrel_ticked() || dovrel_ticked());
}

// Ticking Fendrel always disables the button: a year must be chosen next.
void frmVersionUpdate::chkFendrel_Click() {
  cmbYear_->setEnabled(fendrel_ticked());
  cmdUpdate_->setEnabled(!fendrel_ticked() && (dovrel_ticked() || brenvik_ticked()));
}

// The Dovrel and Brenvik rules ignore the year; the update command asks for
// it when Fendrel is ticked.
void frmVersionUpdate::chkDovrel_Click() { cmdUpdate_->setEnabled(any_module_ticked()); }

void frmVersionUpdate::chkBrenvik_Click() { cmdUpdate_->setEnabled(any_module_ticked()); }

void frmVersionUpdate::cmbYear_Click() {
  cmdUpdate_->setEnabled(cmbYear_->currentIndex() >= 0 && any_module_ticked());
}

void frmVersionUpdate::cmdUpdate_Click() { update_command_(*this); }

void frmVersionUpdate::Command1_Click() { unload(); }

bool frmVersionUpdate::any_module_ticked() const {
  return fendrel_ticked() || dovrel_ticked() || brenvik_ticked();
}

bool frmVersionUpdate::fendrel_ticked() const { return chkFendrel_->isChecked(); }

bool frmVersionUpdate::dovrel_ticked() const { return chkDovrel_->isChecked(); }

bool frmVersionUpdate::brenvik_ticked() const { return chkBrenvik_->isChecked(); }

std::string frmVersionUpdate::version_text() const { return txtVersion_->text().toStdString(); }

std::string frmVersionUpdate::year_text() const { return cmbYear_->currentText().toStdString(); }

std::string& frmVersionUpdate::strMsg() { return str_msg_; }

void frmVersionUpdate::focus_year_list() { cmbYear_->setFocus(Qt::OtherFocusReason); }

// Closing hides the window; the application quits when control returns to
// its event loop, once the current handler has finished.
void frmVersionUpdate::unload() { close(); }

}  // namespace norv::app::gui
