#include "app/gui/frm_version_update.h"

#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QDate>
#include <QTest>
#include <QWindow>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/twips.h"
#include "tests/app/gui/window_driver.h"

namespace norv::app::gui {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(driver.show()) << "the window never became active"; }

  bool list_enabled() const { return driver.year_list().isEnabled(); }
  bool button_enabled() const { return driver.button("cmdUpdate").isEnabled(); }

  // What the update command saw of the window at each press.
  struct Press {
    bool fendrel, dovrel, brenvik;
    std::string version, year;
  };
  std::vector<Press> presses;
  // Runs at each press after it has been recorded.
  std::function<void(VersionUpdateWindow&)> on_press = [](VersionUpdateWindow&) {};

  frmVersionUpdate window{[this](VersionUpdateWindow& w) {
    presses.push_back({w.fendrel_ticked(), w.dovrel_ticked(), w.brenvik_ticked(),
                       w.version_text(), w.year_text()});
    on_press(w);
  }};
  test::WindowDriver driver{window};
};

std::vector<std::string> years_from(int newest, int count) {
  std::vector<std::string> years;
  for (int n = 0; n < count; ++n) years.push_back(std::to_string(newest - n));
  return years;
}

std::vector<std::string> entries(const QComboBox& list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list.count(); ++i) texts.push_back(list.itemText(i).toStdString());
  return texts;
}

TEST_F(WindowTest, StartsWithNothingTickedNoYearChosenAndTheButtonDisabled) {
  EXPECT_EQ(window.windowTitle(), "Version Update");
  for (const char* box : {"chkFendrel", "chkDovrel", "chkBrenvik"}) {
    EXPECT_TRUE(driver.check_box(box).isEnabled()) << box;
    EXPECT_FALSE(driver.check_box(box).isChecked()) << box;
  }
  EXPECT_FALSE(list_enabled());
  EXPECT_EQ(driver.year_list().currentIndex(), -1);
  EXPECT_EQ(window.year_text(), "");
  EXPECT_FALSE(button_enabled());
  EXPECT_TRUE(driver.button("Command1").isEnabled());
  EXPECT_EQ(window.version_text(), "1.0");
  EXPECT_FALSE(driver.version_box().isReadOnly());
  EXPECT_EQ(window.strMsg(), "");
  EXPECT_EQ(driver.focused(), "chkFendrel");
}

TEST_F(WindowTest, ControlsShowTheirCaptionsWhole) {
  EXPECT_EQ(driver.button("cmdUpdate").text(), "Update Version");
  EXPECT_EQ(driver.label("Label1").text(), "Select Year");
  EXPECT_EQ(driver.check_box("chkFendrel").text(), "Fendrel");
  EXPECT_EQ(driver.check_box("chkDovrel").text(), "Dovrel");
  EXPECT_EQ(driver.label("Label2").text(), "Version:");
  EXPECT_EQ(driver.check_box("chkBrenvik").text(), "Brenvik");
  EXPECT_EQ(driver.button("Command1").text(), "Close");
  for (const char* name : {"cmdUpdate", "Label1", "chkFendrel", "chkDovrel", "Label2",
                           "chkBrenvik", "Command1"}) {
    const QWidget* control = window.findChild<QWidget*>(name);
    EXPECT_LE(control->sizeHint().width(), control->width()) << name << " cuts its caption";
  }
}

TEST_F(WindowTest, YearListHoldsTheCurrentYearAndTheFiveBeforeItAndTakesNoTyping) {
  const int before = QDate::currentDate().year();
  const std::vector<std::string> listed = entries(driver.year_list());
  const int after = QDate::currentDate().year();
  // Loaded on the eve of a new year, the list may start with either year.
  EXPECT_TRUE(listed == years_from(before, 6) || listed == years_from(after, 6))
      << ::testing::PrintToString(listed);
  EXPECT_FALSE(driver.year_list().isEditable());
}

TEST_F(WindowTest, ClientAreaAndControlsSitWhereTheirTwipsPlaceThemAt96Dpi) {
  if (window.logicalDpiX() != 96) GTEST_SKIP() << "screen is not at 96 dots per inch";
  EXPECT_EQ(window.size(), QSize(236, 142));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the window must not resize";
  const std::vector<std::pair<const char*, QRect>> expected = {
      {"cmdUpdate", {128, 70, 97, 25}},  {"Label1", {8, 16, 55, 13}},
      {"chkFendrel", {16, 58, 89, 33}},  {"chkDovrel", {16, 78, 81, 33}},
      {"cmbYear", {72, 10, 89, 21}},     {"Label2", {8, 40, 49, 17}},
      {"txtVersion", {72, 35, 89, 21}},  {"chkBrenvik", {16, 100, 97, 33}},
      {"Command1", {128, 104, 97, 25}},
  };
  for (const auto& [name, rect] : expected) {
    auto* control = window.findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->geometry(), rect) << name;
  }
}

TEST(TwipsTest, ScaleWithTheScreensDotsPerInch) {
  EXPECT_EQ(twips_to_pixels(3540, 96), 236);
  EXPECT_EQ(twips_to_pixels(3540, 144), 354);
  EXPECT_EQ(twips_to_pixels(1175, 96), 78);  // 78.33
  EXPECT_EQ(twips_to_pixels(520, 96), 35);   // 34.67
  EXPECT_EQ(twips_to_pixels(1175, 120), 98); // 97.92
}

TEST_F(WindowTest, TabSkipsLabelsAndDisabledControls) {
  EXPECT_THAT(driver.tab(6), ElementsAre("chkDovrel", "txtVersion", "chkBrenvik", "Command1",
                                         "chkFendrel", "chkDovrel"));
}

TEST_F(WindowTest, TabFollowsTabIndexOnceEverythingIsEnabled) {
  driver.click_box("chkDovrel");
  driver.click_box("chkFendrel");
  driver.choose_year_in_popup(0);
  ASSERT_TRUE(button_enabled());
  driver.button("cmdUpdate").setFocus(Qt::TabFocusReason);
  const std::vector<std::string> order = {"chkFendrel", "chkDovrel",  "cmbYear", "txtVersion",
                                          "chkBrenvik", "Command1",   "cmdUpdate"};
  EXPECT_THAT(driver.tab(7), ElementsAreArray(order));
  EXPECT_THAT(driver.tab(2, /*backwards=*/true), ElementsAre("Command1", "chkBrenvik"));
}

// One sequence of user actions and the states it must leave. Actions:
// F, D, B click the Fendrel, Dovrel, Brenvik boxes; Y chooses the second
// year in the list's popup; K presses the down arrow on the list; E empties
// the version text.
struct Sequence {
  const char* name;
  const char* actions;
  bool list_enabled;
  bool button_enabled;
  int year_index;
};

void PrintTo(const Sequence& sequence, std::ostream* out) { *out << '"' << sequence.actions << '"'; }

class EnableRulesTest : public WindowTest, public ::testing::WithParamInterface<Sequence> {
 protected:
  void perform(char action) {
    switch (action) {
      case 'F': driver.click_box("chkFendrel"); break;
      case 'D': driver.click_box("chkDovrel"); break;
      case 'B': driver.click_box("chkBrenvik"); break;
      case 'Y': driver.choose_year_in_popup(1); break;
      case 'K': driver.step_year_with_keyboard(1); break;
      case 'E': driver.type_version(""); break;
      default: FAIL() << "unknown action " << action;
    }
  }
};

TEST_P(EnableRulesTest, LeaveTheStatesTheRulesGive) {
  for (const char* action = GetParam().actions; *action; ++action) perform(*action);
  EXPECT_EQ(list_enabled(), GetParam().list_enabled);
  EXPECT_EQ(button_enabled(), GetParam().button_enabled);
  EXPECT_EQ(driver.year_list().currentIndex(), GetParam().year_index);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, EnableRulesTest,
    ::testing::Values(
        Sequence{"FendrelTickedWaitsForAYear", "F", true, false, -1},
        Sequence{"ChoosingAYearEnables", "FY", true, true, 1},
        Sequence{"DovrelAloneEnablesWithoutTheList", "D", false, true, -1},
        Sequence{"BrenvikAloneEnablesWithoutTheList", "B", false, true, -1},
        Sequence{"DovrelThenFendrelDisables", "DF", true, false, -1},
        Sequence{"DovrelThenFendrelThenYearEnables", "DFY", true, true, 1},
        Sequence{"UntickingFendrelKeepsTheYearChosen", "FYF", false, false, 1},
        Sequence{"UntickingFendrelLeavesBrenvikEnabling", "FBYF", false, true, 1},
        Sequence{"DovrelIgnoresTheMissingYear", "FD", true, true, -1},
        Sequence{"TickingFendrelAgainDisablesDespiteTheYear", "FYDFF", true, false, 1},
        Sequence{"ChoosingTheSameYearAgainEnables", "FYDFFY", true, true, 1},
        Sequence{"UntickingTheLastBoxDisables", "DBDB", false, false, -1},
        Sequence{"UntickingFendrelWithDovrelTickedEnables", "FDF", false, true, -1},
        Sequence{"TheDisabledListTakesNoChoice", "Y", false, false, -1},
        Sequence{"ArrowKeyChoosesAYear", "FK", true, true, 0},
        Sequence{"EmptyingTheVersionChangesNothing", "FYE", true, true, 1}),
    [](const ::testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

TEST_F(WindowTest, SpaceBarTicksTheFocusedBox) {
  QTest::keyClick(&driver.check_box("chkFendrel"), Qt::Key_Space);
  EXPECT_TRUE(window.fendrel_ticked());
  EXPECT_TRUE(list_enabled());
  EXPECT_FALSE(button_enabled());
  driver.tab(1);
  QTest::keyClick(&driver.check_box("chkDovrel"), Qt::Key_Space);
  EXPECT_TRUE(button_enabled());
}

TEST_F(WindowTest, YearChosenFromTheKeyboardPopup) {
  driver.click_box("chkFendrel");
  QComboBox& list = driver.year_list();
  list.setFocus(Qt::TabFocusReason);
  QTest::keyClick(&list, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&list] { return list.view()->isVisible(); }));
  QTest::keyClick(list.view(), Qt::Key_Down);
  QTest::keyClick(list.view(), Qt::Key_Down);
  QTest::keyClick(list.view(), Qt::Key_Return);
  EXPECT_EQ(list.currentIndex(), 2);
  EXPECT_EQ(window.year_text(), list.itemText(2).toStdString());
  EXPECT_TRUE(button_enabled());
}

TEST_F(WindowTest, ActivationRunsOnlyWhenFirstShown) {
  driver.click_box("chkFendrel");  // the button is disabled until a year is chosen
  window.hide();
  window.show();
  EXPECT_FALSE(button_enabled());
}

TEST_F(WindowTest, UpdateButtonRunsTheCommandOnTheWindow) {
  driver.click_box("chkFendrel");
  driver.click_box("chkBrenvik");
  driver.choose_year_in_popup(3);
  driver.type_version("2.5");
  driver.click_button("cmdUpdate");
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_TRUE(presses[0].fendrel);
  EXPECT_FALSE(presses[0].dovrel);
  EXPECT_TRUE(presses[0].brenvik);
  EXPECT_EQ(presses[0].version, "2.5");
  EXPECT_EQ(presses[0].year, driver.year_list().itemText(3).toStdString());
}

TEST_F(WindowTest, ReturnInTheVersionBoxPressesNoButton) {
  driver.click_box("chkDovrel");
  driver.type_version("3");
  QTest::keyClick(&driver.version_box(), Qt::Key_Return);
  EXPECT_TRUE(presses.empty());
  EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowTest, CommandMovesTheFocusToTheYearList) {
  on_press = [](VersionUpdateWindow& w) { w.focus_year_list(); };
  driver.click_box("chkFendrel");
  driver.click_box("chkDovrel");
  driver.click_button("cmdUpdate");
  EXPECT_EQ(driver.focused(), "cmbYear");
}

// The program ends when its last window closes: the application's event
// loop returns.
using WindowClosingTest = WindowTest;
using test::program_ends_after;

TEST_F(WindowClosingTest, CloseButtonEndsTheProgramWhateverIsTicked) {
  driver.click_box("chkFendrel");
  EXPECT_TRUE(program_ends_after([this] { driver.click_button("Command1"); }));
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(presses.empty());
}

TEST_F(WindowClosingTest, ClosingTheWindowFromTheDesktopEndsTheProgram) {
  driver.click_box("chkDovrel");
  EXPECT_TRUE(program_ends_after([this] { window.windowHandle()->close(); }));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowClosingTest, UnloadFromTheCommandEndsTheProgramAfterIt) {
  bool ran_on = false;
  on_press = [&ran_on](VersionUpdateWindow& w) {
    w.unload();
    ran_on = true;  // the command finishes its step after unloading
  };
  driver.click_box("chkDovrel");
  EXPECT_TRUE(program_ends_after([this] { driver.click_button("cmdUpdate"); }));
  EXPECT_TRUE(ran_on);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowClosingTest, AnOpenWindowKeepsTheProgramRunning) {
  EXPECT_FALSE(program_ends_after([this] { driver.click_box("chkFendrel"); }, 300));
}

TEST_F(WindowTest, ScreenshotShowsTheLayout) {
  driver.click_box("chkFendrel");
  driver.click_box("chkDovrel");
  driver.choose_year_in_popup(0);
  const QString path = QStringLiteral(NORV_GUI_TEST_OUTPUT_DIR "/frmVersionUpdate.png");
  const QPixmap shot = window.grab();
  EXPECT_EQ(shot.deviceIndependentSize().toSize(), window.size());
  ASSERT_TRUE(shot.save(path, "PNG")) << path.toStdString();
  EXPECT_FALSE(QImage(path).isNull());
}

}  // namespace
}  // namespace norv::app::gui
