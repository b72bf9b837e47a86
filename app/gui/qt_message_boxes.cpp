#include "app/gui/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace norv::app::gui {
namespace {

// The icon bits of a Windows message-box style.
constexpr int kIconMask = 0xF0;
constexpr int kIconQuestion = 0x20;
constexpr int kIconExclamation = 0x30;

QMessageBox::Icon icon_for(int style) {
  switch (style & kIconMask) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case kIconQuestion: return QMessageBox::Question;
    case kIconExclamation: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// The texts break lines with CR LF, as Windows does; Qt breaks on LF alone.
QString displayed_text(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

}  // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* parent) : parent_(parent) {}

void QtMessageBoxes::show(const std::string& text, int style, const std::string& title) {
  QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
  const QString caption = QString::fromStdString(title.empty() ? kApplicationTitle : title);
  QMessageBox box(icon_for(style), caption, displayed_text(text), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace norv::app::gui
