#include "tests/app/gui/window_driver.h"

#include <stdexcept>

#include <QAbstractItemView>
#include <QApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

namespace norv::test {

bool program_ends_after(const std::function<void()>& user_action, int wait_ms) {
  bool timed_out = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&timed_out] {
    timed_out = true;
    QApplication::exit(1);
  });
  guard.start(wait_ms);
  QTimer::singleShot(0, user_action);
  QApplication::exec();
  return !timed_out;
}

bool WindowDriver::show() {
  window_.show();
  return QTest::qWaitForWindowActive(&window_);
}

void WindowDriver::click_box(const char* name) const {
  QCheckBox& box = check_box(name);
  QStyleOptionButton option;
  option.initFrom(&box);
  const QRect indicator = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
  QTest::mouseClick(&box, Qt::LeftButton, {}, indicator.center());
}

void WindowDriver::choose_year_in_popup(int index) const {
  QComboBox& list = year_list();
  QTest::mouseClick(&list, Qt::LeftButton);
  QAbstractItemView* popup = list.view();
  if (!QTest::qWaitFor([popup] { return popup->isVisible(); }, 1000)) return;  // list disabled
  // A freshly opened popup ignores a release that could belong to the click
  // that opened it, as a user's second click never comes that fast.
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  const QRect entry = popup->visualRect(list.model()->index(index, 0));
  QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, entry.center());
  if (!QTest::qWaitFor([popup] { return !popup->isVisible(); }))
    throw std::runtime_error("the year list's popup did not close");
}

void WindowDriver::step_year_with_keyboard(int times) const {
  QComboBox& list = year_list();
  list.setFocus(Qt::TabFocusReason);
  for (int i = 0; i < times; ++i) QTest::keyClick(&list, Qt::Key_Down);
}

void WindowDriver::click_button(const char* name) const {
  QTest::mouseClick(&button(name), Qt::LeftButton);
}

void WindowDriver::type_version(const std::string& text) const {
  QLineEdit& box = version_box();
  box.setFocus(Qt::MouseFocusReason);
  QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
  if (text.empty())
    QTest::keyClick(&box, Qt::Key_Delete);
  else
    QTest::keyClicks(&box, QString::fromStdString(text));
}

std::vector<std::string> WindowDriver::tab(int times, bool backwards) const {
  std::vector<std::string> visited;
  for (int i = 0; i < times; ++i) {
    QWidget* from = QApplication::focusWidget();
    QTest::keyClick(from ? from : &window_, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);
    visited.push_back(focused());
  }
  return visited;
}

std::string WindowDriver::focused() const {
  QWidget* widget = QApplication::focusWidget();
  return widget ? widget->objectName().toStdString() : std::string();
}

}  // namespace norv::test
