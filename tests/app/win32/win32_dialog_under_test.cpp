// The native window under the dialog behaviour suite, driven by the window
// messages Windows delivers for a user's clicks and keys.

#include <utility>

#include "app/win32/frm_version_update.h"
#include "tests/app/dialog_under_test.h"
#include "tests/app/win32/window_test_support.h"

namespace norv::test {
namespace {

using app::ControlId;

class Win32DialogUnderTest final : public DialogUnderTest {
 public:
  explicit Win32DialogUnderTest(app::UpdateCommand command) : window_(std::move(command)) {
    window_.show();
    frame_ = window_.hwnd();
  }
  // A quit posted by the last test's window must not end the next one.
  ~Win32DialogUnderTest() override { quit_posted(); }

  app::VersionUpdateWindow& window() override { return window_; }

  void click(ControlId control) override { driver_.click(control); }
  void choose_year(int index) override { driver_.choose_year(index); }
  void step_year_with_keyboard() override {
    SetFocus(driver_.control(ControlId::cmbYear));
    driver_.press(VK_DOWN);
  }
  void type_version(const std::string& text) override { driver_.set_version(text); }
  void press_space() override { driver_.press(VK_SPACE); }
  void focus(ControlId control) override { SetFocus(driver_.control(control)); }
  std::vector<std::string> tab(int times, bool backwards) override {
    return driver_.tab(times, backwards);
  }
  void close_from_desktop() override { SendMessageA(frame_, WM_CLOSE, 0, 0); }

  bool enabled(ControlId control) const override { return driver_.enabled(control); }
  bool ticked(ControlId box) const override {
    return SendMessageA(driver_.control(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  int year_index() const override { return driver_.year_index(); }
  std::vector<std::string> years() const override { return driver_.years(); }
  std::string focused() const override { return driver_.focused(); }
  bool is_open() const override { return IsWindow(frame_) != FALSE; }
  // CB_SETCURSEL sets the selection of a disabled list too.
  bool disabled_list_obeys_a_forced_choice() const override { return true; }

  // WM_QUIT is posted while the action is handled; nothing is waited for.
  bool program_ends_after(const std::function<void()>& action, int) override {
    quit_posted();
    action();
    return quit_posted();
  }

 private:
  app::win32::frmVersionUpdate window_;
  Win32WindowDriver driver_{window_};
  HWND frame_ = nullptr;
};

}  // namespace

std::unique_ptr<DialogUnderTest> show_dialog_under_test(app::UpdateCommand command) {
  return std::make_unique<Win32DialogUnderTest>(std::move(command));
}

}  // namespace norv::test
