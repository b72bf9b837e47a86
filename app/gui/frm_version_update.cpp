#include "app/gui/frm_version_update.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/twips.h"

namespace norv::app::gui {
namespace {

// The widget that stands for a control of the layout, with its caption or
// initial text.
QWidget* make_widget(const ControlDescription& description, QWidget& window) {
  const QString text = QString::fromLatin1(description.text);
  switch (description.kind) {
    case ControlKind::CommandButton: return new QPushButton(text, &window);
    case ControlKind::Label: return new QLabel(text, &window);
    case ControlKind::CheckBox: return new QCheckBox(text, &window);
    case ControlKind::TextBox: return new QLineEdit(text, &window);
    case ControlKind::DropDownList: {
      // A strict drop-down list: the user chooses an entry and cannot type.
      auto* list = new QComboBox(&window);
      list->setEditable(false);
      return list;
    }
  }
  return nullptr;
}

}  // namespace

QWidget& frmVersionUpdate::control(ControlId id) const {
  return *controls_[static_cast<std::size_t>(id)];
}

template <typename Control>
Control& frmVersionUpdate::control_as(ControlId id) const {
  return static_cast<Control&>(control(id));
}

frmVersionUpdate::frmVersionUpdate(UpdateCommand update_command, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      VersionUpdateForm(std::move(update_command)) {
  setObjectName(QStringLiteral("frmVersionUpdate"));
  setWindowTitle(QString::fromLatin1(kWindowCaption));
  setFixedSize(twips_to_pixels(kClientWidthTwips, logicalDpiX()),
               twips_to_pixels(kClientHeightTwips, logicalDpiY()));
  create_controls();
  fit_font_to_captions();
  set_tab_order();
  connect_events();
  Form_Load();
}

void frmVersionUpdate::create_controls() {
  const double dpi_x = logicalDpiX();
  const double dpi_y = logicalDpiY();
  for (const ControlDescription& description : kControls) {
    QWidget* widget = make_widget(description, *this);
    widget->setObjectName(QString::fromLatin1(description.name));
    const TwipsRect& rect = description.rect;
    widget->setGeometry(twips_to_pixels(rect.left, dpi_x), twips_to_pixels(rect.top, dpi_y),
                        twips_to_pixels(rect.width, dpi_x), twips_to_pixels(rect.height, dpi_y));
    widget->setEnabled(description.enabled_at_start);
    controls_[static_cast<std::size_t>(description.id)] = widget;
  }
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
  return std::all_of(kControls.begin(), kControls.end(), [this](const ControlDescription& d) {
    if (*d.text == '\0' || d.kind == ControlKind::TextBox) return true;
    const QWidget& widget = control(d.id);
    return widget.sizeHint().width() <= widget.width();
  });
}

// TabIndex order; the labels take no focus and so have no place in it.
void frmVersionUpdate::set_tab_order() {
  QWidget* previous = nullptr;
  for (const ControlDescription& description : kControls) {
    if (!takes_focus(description.kind)) {
      control(description.id).setFocusPolicy(Qt::NoFocus);
      continue;
    }
    if (previous) setTabOrder(previous, &control(description.id));
    previous = &control(description.id);
  }
}

// Check boxes report clicked and the list reports activated only for the
// user's own changes, by mouse or keyboard; activated also fires when the
// user chooses the entry already chosen, which the year rule needs after
// Fendrel is ticked again.
void frmVersionUpdate::connect_events() {
  connect(&control_as<QCheckBox>(ControlId::chkFendrel), &QCheckBox::clicked, this,
          [this] { chkFendrel_Click(); });
  connect(&control_as<QCheckBox>(ControlId::chkDovrel), &QCheckBox::clicked, this,
          [this] { chkDovrel_Click(); });
  connect(&control_as<QCheckBox>(ControlId::chkBrenvik), &QCheckBox::clicked, this,
          [this] { chkBrenvik_Click(); });
  connect(&control_as<QComboBox>(ControlId::cmbYear), &QComboBox::activated, this,
          [this] { cmbYear_Click(); });
  connect(&control_as<QPushButton>(ControlId::cmdUpdate), &QPushButton::clicked, this,
          [this] { cmdUpdate_Click(); });
  connect(&control_as<QPushButton>(ControlId::Command1), &QPushButton::clicked, this,
          [this] { Command1_Click(); });
}

void frmVersionUpdate::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!activated_) {
    activated_ = true;
    Form_Activate();
  }
}

void frmVersionUpdate::add_year(const std::string& text) {
  auto& list = control_as<QComboBox>(ControlId::cmbYear);
  list.addItem(QString::fromStdString(text));
  list.setCurrentIndex(-1);  // adding to an empty list chooses the entry
}

int frmVersionUpdate::year_list_index() const {
  return control_as<QComboBox>(ControlId::cmbYear).currentIndex();
}

void frmVersionUpdate::set_enabled(ControlId id, bool enabled) { control(id).setEnabled(enabled); }

bool frmVersionUpdate::fendrel_ticked() const {
  return control_as<QCheckBox>(ControlId::chkFendrel).isChecked();
}

bool frmVersionUpdate::dovrel_ticked() const {
  return control_as<QCheckBox>(ControlId::chkDovrel).isChecked();
}

bool frmVersionUpdate::brenvik_ticked() const {
  return control_as<QCheckBox>(ControlId::chkBrenvik).isChecked();
}

std::string frmVersionUpdate::version_text() const {
  return control_as<QLineEdit>(ControlId::txtVersion).text().toStdString();
}

std::string frmVersionUpdate::year_text() const {
  return control_as<QComboBox>(ControlId::cmbYear).currentText().toStdString();
}

void frmVersionUpdate::focus_year_list() { control(ControlId::cmbYear).setFocus(Qt::OtherFocusReason); }

// Closing hides the window; the application quits when control returns to
// its event loop, once the current handler has finished.
void frmVersionUpdate::unload() { close(); }

}  // namespace norv::app::gui
