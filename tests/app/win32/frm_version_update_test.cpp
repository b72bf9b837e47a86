// The native frmVersionUpdate, created in the test process and driven by
// window messages: its controls as drawn, the year list, the enable rules
// with their oddities, its pixels at 96 and 144 dots per inch, Tab, the
// update command's boxes through the message-box seam, and its end.

#include "app/win32/frm_version_update.h"

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/update_command.h"
#include "tests/app/app_doubles.h"
#include "tests/app/win32/window_test_support.h"
#include "tests/stamping/stamping_doubles.h"
#include "tests/support/temp_dir.h"

namespace norv::app::win32 {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using test::ShownBox;

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { window.show(); }
  void TearDown() override { test::quit_posted(); }

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
  test::Win32WindowDriver driver{window};
};

std::string text_of(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string class_of(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<std::string> years_from(int newest) {
  std::vector<std::string> years;
  for (int n = 0; n < 6; ++n) years.push_back(std::to_string(newest - n));
  return years;
}

int this_year() {
  const std::time_t now = std::time(nullptr);
  return std::localtime(&now)->tm_year + 1900;
}

TEST_F(Win32WindowTest, StartsWithNothingTickedNoYearChosenAndTheFocusOnFendrel) {
  EXPECT_EQ(text_of(window.hwnd()), "Version Update");
  struct Expected {
    ControlId id;
    const char* window_class;
    const char* text;
    bool enabled;
  };
  const Expected controls[] = {
      {ControlId::cmdUpdate, "Button", "Update Version", false},
      {ControlId::Label1, "Static", "Select Year", true},
      {ControlId::chkFendrel, "Button", "Fendrel", true},
      {ControlId::chkDovrel, "Button", "Dovrel", true},
      {ControlId::cmbYear, "ComboBox", "", false},
      {ControlId::Label2, "Static", "Version:", true},
      {ControlId::txtVersion, "Edit", "1.0", true},
      {ControlId::chkBrenvik, "Button", "Brenvik", true},
      {ControlId::Command1, "Button", "Close", true},
  };
  for (const Expected& expected : controls) {
    HWND control = window.control(expected.id);
    const char* name = control_description(expected.id).name;
    EXPECT_STRCASEEQ(class_of(control).c_str(), expected.window_class) << name;
    EXPECT_EQ(text_of(control), expected.text) << name;
    EXPECT_EQ(driver.enabled(expected.id), expected.enabled) << name;
  }
  for (ControlId box : {ControlId::chkFendrel, ControlId::chkDovrel, ControlId::chkBrenvik})
    EXPECT_EQ(SendMessageA(window.control(box), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  const LONG list_style = GetWindowLongA(window.control(ControlId::cmbYear), GWL_STYLE);
  EXPECT_EQ(list_style & 3, CBS_DROPDOWNLIST) << "the user may not type a year";
  EXPECT_EQ(driver.year_index(), -1);
  EXPECT_EQ(window.year_text(), "");
  EXPECT_EQ(window.version_text(), "1.0");
  EXPECT_EQ(window.strMsg(), "");
  EXPECT_EQ(driver.focused(), "chkFendrel");
}

TEST_F(Win32WindowTest, YearListHoldsTheCurrentYearAndTheFiveBeforeIt) {
  const int now = this_year();
  // Loaded on the eve of a new year, the list may start with the old one.
  EXPECT_THAT(driver.years(), ::testing::AnyOf(ElementsAreArray(years_from(now)),
                                               ElementsAreArray(years_from(now - 1))));
}

TEST_F(Win32WindowTest, TheFrameCannotBeResizedOrMaximised) {
  const LONG style = GetWindowLongA(window.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_NE(style & WS_SYSMENU, 0);
}

// Rectangles as left, top, width, height in the client area's pixels.
struct PixelRect {
  ControlId id;
  LONG left, top, width, height;
};

void expect_layout(const test::Win32WindowDriver& driver, HWND window, SIZE client,
                   const std::vector<PixelRect>& expected) {
  RECT area{};
  GetClientRect(window, &area);
  EXPECT_EQ(area.right, client.cx);
  EXPECT_EQ(area.bottom, client.cy);
  for (const PixelRect& want : expected) {
    const RECT got = driver.rect(want.id);
    EXPECT_THAT((std::vector<LONG>{got.left, got.top, got.right - got.left, got.bottom - got.top}),
                ElementsAre(want.left, want.top, want.width, want.height))
        << control_description(want.id).name;
  }
}

LONG font_height(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

TEST_F(Win32WindowTest, ControlsSitWhereTheirTwipsPlaceThemAt96And144DotsPerInch) {
  if (window.dots_per_inch() != 96) GTEST_SKIP() << "the desktop is not at 96 dots per inch";
  expect_layout(driver, window.hwnd(), {236, 142},
                {{ControlId::cmdUpdate, 128, 70, 97, 25},  {ControlId::Label1, 8, 16, 55, 13},
                 {ControlId::chkFendrel, 16, 58, 89, 33},  {ControlId::chkDovrel, 16, 78, 81, 33},
                 {ControlId::cmbYear, 72, 10, 89, 21},     {ControlId::Label2, 8, 40, 49, 17},
                 {ControlId::txtVersion, 72, 35, 89, 21},  {ControlId::chkBrenvik, 16, 100, 97, 33},
                 {ControlId::Command1, 128, 104, 97, 25}});
  const LONG font_at_96 = font_height(window.control(ControlId::chkFendrel));

  // Moved to a monitor at 150 %: Windows tells the window its new resolution.
  RECT suggested{40, 30, 440, 330};
  SendMessageA(window.hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(window.dots_per_inch(), 144);
  expect_layout(driver, window.hwnd(), {354, 213},
                {{ControlId::cmdUpdate, 192, 105, 146, 38}, {ControlId::Label1, 12, 24, 83, 20},
                 {ControlId::chkFendrel, 24, 87, 134, 50},  {ControlId::chkDovrel, 24, 118, 122, 50},
                 {ControlId::cmbYear, 108, 15, 134, 32},    {ControlId::Label2, 12, 60, 74, 26},
                 {ControlId::txtVersion, 108, 52, 134, 32}, {ControlId::chkBrenvik, 24, 150, 146, 50},
                 {ControlId::Command1, 192, 156, 146, 38}});
  RECT frame{};
  GetWindowRect(window.hwnd(), &frame);
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.top, 30);
  const LONG font_at_144 = font_height(window.control(ControlId::chkFendrel));
  EXPECT_NEAR(font_at_144, font_at_96 * 1.5, 1.0) << "the message font grows with the resolution";
}

// Overlapping boxes: a click in the overlap goes to one box only, and each
// box's caption (centred in its rectangle) stays visible.
TEST_F(Win32WindowTest, OverlappingBoxesShareTheirOverlap) {
  const RECT fendrel = driver.rect(ControlId::chkFendrel);
  const RECT dovrel = driver.rect(ControlId::chkDovrel);
  ASSERT_LT(dovrel.top, fendrel.bottom) << "the boxes are drawn overlapping";
  // The window a click at that point of the client area reaches.
  auto box_at = [this](LONG x, LONG y) {
    POINT point{x, y};
    ClientToScreen(window.hwnd(), &point);
    return WindowFromPoint(point);
  };
  const LONG x = fendrel.left + 4;
  EXPECT_EQ(box_at(x, (fendrel.top + fendrel.bottom) / 2), window.control(ControlId::chkFendrel));
  EXPECT_EQ(box_at(x, (dovrel.top + dovrel.bottom) / 2), window.control(ControlId::chkDovrel));
  EXPECT_EQ(box_at(x, dovrel.top + 1), window.control(ControlId::chkFendrel));
  EXPECT_EQ(box_at(x, fendrel.bottom - 1), window.control(ControlId::chkDovrel));
}

TEST_F(Win32WindowTest, TabSkipsLabelsAndDisabledControls) {
  EXPECT_THAT(driver.tab(6), ElementsAre("chkDovrel", "txtVersion", "chkBrenvik", "Command1",
                                         "chkFendrel", "chkDovrel"));
}

TEST_F(Win32WindowTest, TabFollowsTabIndexOnceEverythingIsEnabledAndShiftTabGoesBack) {
  driver.click(ControlId::chkDovrel);
  driver.click(ControlId::chkFendrel);
  driver.choose_year(0);
  ASSERT_TRUE(driver.enabled(ControlId::cmdUpdate));
  SetFocus(window.control(ControlId::cmdUpdate));
  EXPECT_THAT(driver.tab(7), ElementsAre("chkFendrel", "chkDovrel", "cmbYear", "txtVersion",
                                         "chkBrenvik", "Command1", "cmdUpdate"));
  EXPECT_THAT(driver.tab(2, /*backwards=*/true), ElementsAre("Command1", "chkBrenvik"));
}

// One sequence of user actions and the states it must leave. F, D, B click
// the Fendrel, Dovrel, Brenvik boxes; Y chooses the second year; K presses
// the down arrow on the closed list; E empties the version text.
struct Sequence {
  const char* name;
  const char* actions;
  bool list_enabled;
  bool button_enabled;
  int year_index;
};

void PrintTo(const Sequence& sequence, std::ostream* out) { *out << '"' << sequence.actions << '"'; }

class Win32EnableRulesTest : public Win32WindowTest,
                             public ::testing::WithParamInterface<Sequence> {
 protected:
  void perform(char action) {
    switch (action) {
      case 'F': driver.click(ControlId::chkFendrel); break;
      case 'D': driver.click(ControlId::chkDovrel); break;
      case 'B': driver.click(ControlId::chkBrenvik); break;
      case 'Y': driver.choose_year(1); break;
      case 'K':
        SetFocus(window.control(ControlId::cmbYear));
        driver.press(VK_DOWN);
        break;
      case 'E': driver.set_version(""); break;
      default: FAIL() << "unknown action " << action;
    }
  }
};

TEST_P(Win32EnableRulesTest, LeaveTheStatesTheRulesGive) {
  for (const char* action = GetParam().actions; *action; ++action) perform(*action);
  EXPECT_EQ(driver.enabled(ControlId::cmbYear), GetParam().list_enabled);
  EXPECT_EQ(driver.enabled(ControlId::cmdUpdate), GetParam().button_enabled);
  EXPECT_EQ(driver.year_index(), GetParam().year_index);
  EXPECT_TRUE(presses.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Win32EnableRulesTest,
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
        // A choice forced onto the disabled list is no click of the user's.
        Sequence{"TheDisabledListTakesNoClick", "Y", false, false, 1},
        Sequence{"ArrowKeyChoosesAYear", "FK", true, true, 0},
        Sequence{"EmptyingTheVersionChangesNothing", "FYE", true, true, 1}),
    [](const ::testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

TEST_F(Win32WindowTest, UpdateButtonRunsTheCommandOnTheWindowsValues) {
  driver.click(ControlId::cmdUpdate);
  EXPECT_TRUE(presses.empty()) << "the disabled button takes no click";
  driver.click(ControlId::chkFendrel);
  driver.click(ControlId::chkBrenvik);
  driver.choose_year(3);
  driver.set_version("2.5");
  driver.click(ControlId::cmdUpdate);
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_TRUE(presses[0].fendrel);
  EXPECT_FALSE(presses[0].dovrel);
  EXPECT_TRUE(presses[0].brenvik);
  EXPECT_EQ(presses[0].version, "2.5");
  EXPECT_EQ(presses[0].year, driver.years()[3]);
}

TEST_F(Win32WindowTest, ReturnPressesTheFocusedButtonOnlyAndEscapeNothing) {
  driver.click(ControlId::chkDovrel);
  SetFocus(window.control(ControlId::txtVersion));
  driver.press(VK_RETURN);
  driver.press(VK_ESCAPE);
  EXPECT_TRUE(presses.empty());
  EXPECT_TRUE(IsWindow(window.hwnd()));
  SetFocus(window.control(ControlId::cmdUpdate));
  driver.press(VK_RETURN);
  EXPECT_EQ(presses.size(), 1u);
}

TEST_F(Win32WindowTest, SpaceTicksTheFocusedBox) {
  driver.press(VK_SPACE);
  EXPECT_TRUE(window.fendrel_ticked());
  EXPECT_TRUE(driver.enabled(ControlId::cmbYear));
}

TEST_F(Win32WindowTest, CommandMovesTheFocusToTheYearList) {
  on_press = [](VersionUpdateWindow& w) { w.focus_year_list(); };
  driver.click(ControlId::chkFendrel);
  driver.click(ControlId::chkDovrel);
  driver.click(ControlId::cmdUpdate);
  EXPECT_EQ(driver.focused(), "cmbYear");
}

// Unloading destroys the window and ends the program: WM_QUIT is posted.
TEST_F(Win32WindowTest, CloseEndsTheProgramWhateverIsTicked) {
  driver.click(ControlId::chkFendrel);
  EXPECT_FALSE(test::quit_posted());
  driver.click(ControlId::Command1);
  EXPECT_FALSE(IsWindow(window.hwnd()));
  EXPECT_TRUE(test::quit_posted());
  EXPECT_TRUE(presses.empty());
}

TEST_F(Win32WindowTest, ClosingFromTheDesktopEndsTheProgram) {
  HWND frame = window.hwnd();
  SendMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_TRUE(test::quit_posted());
}

TEST_F(Win32WindowTest, UnloadFromTheCommandEndsTheProgramAfterIt) {
  bool ran_on = false;
  on_press = [&ran_on](VersionUpdateWindow& w) {
    w.unload();
    ran_on = !w.dovrel_ticked();  // the command finishes its step on the unloaded window
  };
  driver.click(ControlId::chkDovrel);
  driver.click(ControlId::cmdUpdate);
  EXPECT_TRUE(ran_on);
  EXPECT_FALSE(IsWindow(window.hwnd()));
  EXPECT_TRUE(test::quit_posted());
}

// The real update command behind the real button, on doubles of the
// installation services: the boxes it shows, as the seam receives them.
class Win32UpdateRunTest : public ::testing::Test {
 protected:
  Win32UpdateRunTest() : paths(dir.path()) {}
  void SetUp() override { window.show(); }
  void TearDown() override { test::quit_posted(); }

  test::TempDir dir;
  test::FolderPathMapper paths;
  test::FixedRegistry registry;
  test::MemoryProfile profile;
  test::RecordingBoxes boxes;
  InstallationServices services{registry, profile, paths};
  frmVersionUpdate window{
      [this](VersionUpdateWindow& shown) { cmdUpdate_Click(shown, boxes, services); }};
  test::Win32WindowDriver driver{window};
};

TEST_F(Win32UpdateRunTest, RefusedInputShowsItsBoxAndKeepsTheWindow) {
  registry.values["Software\\Norv Software|InstallDir"] = {1, "C:\\Norv"};
  driver.click(ControlId::chkDovrel);
  driver.set_version("1,0");
  driver.click(ControlId::cmdUpdate);
  driver.set_version("1.0");
  driver.click(ControlId::chkFendrel);
  driver.click(ControlId::chkBrenvik);  // enables the button with no year chosen
  SetFocus(window.control(ControlId::txtVersion));
  driver.click(ControlId::cmdUpdate);
  EXPECT_THAT(boxes.shown,
              ElementsAre(ShownBox{"Invalid version number, please check.", MB_OK, ""},
                          ShownBox{"Select Year to update version for Fendrel ", MB_OK, ""}));
  EXPECT_EQ(driver.focused(), "cmbYear");
  EXPECT_THAT(registry.queries, ::testing::IsEmpty());
  EXPECT_TRUE(IsWindow(window.hwnd()));
}

TEST_F(Win32UpdateRunTest, NothingPresentIsANoticeWithTheInformationIcon) {
  registry.values["Software\\Norv Software|InstallDir"] = {1, "C:\\Norv"};
  driver.click(ControlId::chkDovrel);
  driver.click(ControlId::cmdUpdate);
  EXPECT_THAT(boxes.shown,
              ElementsAre(ShownBox{"Could not find Control table.", MB_ICONINFORMATION, ""}));
  EXPECT_TRUE(driver.enabled(ControlId::cmdUpdate)) << "the same run can follow at once";
}

TEST_F(Win32UpdateRunTest, NoInstallationEndsTheProgramAfterItsBox) {
  driver.click(ControlId::chkDovrel);
  driver.click(ControlId::cmdUpdate);
  EXPECT_THAT(boxes.shown,
              ElementsAre(ShownBox{"Norv not installed in this Machine.", MB_OK, ""}));
  EXPECT_FALSE(IsWindow(window.hwnd()));
  EXPECT_TRUE(test::quit_posted());
}

}  // namespace
}  // namespace norv::app::win32
