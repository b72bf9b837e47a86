// The Qt window under the dialog behaviour suite, driven by mouse clicks
// and key presses on its real widgets.

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <stdexcept>
#include <utility>

#include "app/gui/frm_version_update.h"
#include "tests/app/dialog_under_test.h"
#include "tests/app/gui/window_driver.h"

namespace norv::test {
namespace {

using app::ControlId;

const char* name_of(ControlId control) { return app::control_description(control).name; }

bool is_check_box(ControlId control) {
  return app::control_description(control).kind == app::ControlKind::CheckBox;
}

class QtDialogUnderTest final : public DialogUnderTest {
 public:
  explicit QtDialogUnderTest(app::UpdateCommand command) : window_(std::move(command)) {
    if (!driver_.show()) throw std::runtime_error("the window never became active");
  }

  app::VersionUpdateWindow& window() override { return window_; }

  void click(ControlId control) override {
    if (is_check_box(control))
      driver_.click_box(name_of(control));
    else
      driver_.click_button(name_of(control));
  }
  void choose_year(int index) override { driver_.choose_year_in_popup(index); }
  void step_year_with_keyboard() override { driver_.step_year_with_keyboard(1); }
  void type_version(const std::string& text) override { driver_.type_version(text); }
  void press_space() override {
    if (QWidget* focus = QApplication::focusWidget()) QTest::keyClick(focus, Qt::Key_Space);
  }
  void focus(ControlId control) override {
    widget(control).setFocus(Qt::TabFocusReason);
  }
  std::vector<std::string> tab(int times, bool backwards) override {
    return driver_.tab(times, backwards);
  }
  void close_from_desktop() override { window_.windowHandle()->close(); }

  bool enabled(ControlId control) const override { return widget(control).isEnabled(); }
  bool ticked(ControlId box) const override { return driver_.check_box(name_of(box)).isChecked(); }
  int year_index() const override { return driver_.year_list().currentIndex(); }
  std::vector<std::string> years() const override {
    std::vector<std::string> texts;
    const QComboBox& list = driver_.year_list();
    for (int i = 0; i < list.count(); ++i) texts.push_back(list.itemText(i).toStdString());
    return texts;
  }
  std::string focused() const override { return driver_.focused(); }
  bool is_open() const override { return window_.isVisible(); }
  // The popup of a disabled list never opens: nothing is chosen.
  bool disabled_list_obeys_a_forced_choice() const override { return false; }

  bool program_ends_after(const std::function<void()>& action, int wait_ms) override {
    return test::program_ends_after(action, wait_ms);
  }

 private:
  QWidget& widget(ControlId control) const {
    auto* found = window_.findChild<QWidget*>(QString::fromLatin1(name_of(control)));
    if (!found) throw std::logic_error(std::string("no such control: ") + name_of(control));
    return *found;
  }

  app::gui::frmVersionUpdate window_;
  WindowDriver driver_{window_};
};

}  // namespace

std::unique_ptr<DialogUnderTest> show_dialog_under_test(app::UpdateCommand command) {
  return std::make_unique<QtDialogUnderTest>(std::move(command));
}

}  // namespace norv::test
