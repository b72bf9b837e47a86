// The native frmVersionUpdate, created in the test process and driven by
// window messages: what only the native window has (its window classes and
// frame, its pixels at 96 and 144 dots per inch, the overlapping boxes,
// its dialog keys). Its behaviour as the user meets it is the behaviour
// suite's (tests/app/dialog_behaviour_test.cpp).

#include "app/win32/frm_version_update.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/app/win32/window_test_support.h"

namespace norv::app::win32 {
namespace {

using ::testing::ElementsAre;

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { window.show(); }
  void TearDown() override { test::quit_posted(); }

  // How often the update command ran.
  int presses = 0;

  frmVersionUpdate window{[this](VersionUpdateWindow&) { ++presses; }};
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

// The state at start common to every front end is in the behaviour suite.
TEST_F(Win32WindowTest, ControlsAreTheWindowClassesTheirKindsNeed) {
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
  const LONG list_style = GetWindowLongA(window.control(ControlId::cmbYear), GWL_STYLE);
  EXPECT_EQ(list_style & 3, CBS_DROPDOWNLIST) << "the user may not type a year";
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

// The band a box paints its check mark, caption and focus frame in: its
// whole width, as tall as its caption or check mark (whichever is taller)
// and a pixel more above and below for the focus frame, centred in its
// rectangle; in the client area's pixels.
RECT caption_band(HWND box) {
  RECT client{};
  GetClientRect(box, &client);
  char text[64] = {};
  const int length = GetWindowTextA(box, text, sizeof text);
  HDC context = GetDC(box);
  const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(context, font);
  SIZE extent{};
  GetTextExtentPoint32A(context, text, length, &extent);
  SelectObject(context, previous);
  ReleaseDC(box, context);
  const LONG height = std::max<LONG>(extent.cy, GetSystemMetrics(SM_CYMENUCHECK)) + 2;
  const LONG top = (client.bottom - height) / 2;
  RECT band{0, top, client.right, top + height};
  MapWindowPoints(box, GetParent(box), reinterpret_cast<POINT*>(&band), 2);
  return band;
}

// Where a box's painting reaches: the visible region of the device context
// it paints with, in the client area's pixels.
HRGN painted_region(HWND box) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  HDC context = GetDC(box);
  GetRandomRgn(context, region, SYSRGN);  // in screen coordinates
  ReleaseDC(box, context);
  POINT origin{0, 0};
  ClientToScreen(GetParent(box), &origin);
  OffsetRgn(region, -origin.x, -origin.y);
  return region;
}

bool region_covers(HRGN region, const RECT& rect) {
  HRGN wanted = CreateRectRgnIndirect(&rect);
  HRGN missing = CreateRectRgn(0, 0, 0, 0);
  const bool covered = CombineRgn(missing, wanted, region, RGN_DIFF) == NULLREGION;
  DeleteObject(missing);
  DeleteObject(wanted);
  return covered;
}

bool regions_meet(HRGN one, HRGN other) {
  HRGN common = CreateRectRgn(0, 0, 0, 0);
  const bool meet = CombineRgn(common, one, other, RGN_AND) != NULLREGION;
  DeleteObject(common);
  return meet;
}

// Each box paints its caption band whole, no neighbour paints into it, and a
// click anywhere on it reaches the box: at 96 and at 144 dots per inch.
TEST_F(Win32WindowTest, OverlappingBoxesDrawTheirCaptionsWholeAndTakeClicksOnThem) {
  const ControlId boxes[] = {ControlId::chkFendrel, ControlId::chkDovrel, ControlId::chkBrenvik};
  for (const int dots_per_inch : {96, 144}) {
    RECT suggested{40, 30, 440, 330};
    SendMessageA(window.hwnd(), 0x02E0 /* WM_DPICHANGED */,
                 MAKEWPARAM(dots_per_inch, dots_per_inch), reinterpret_cast<LPARAM>(&suggested));
    for (const ControlId id : boxes) {
      const char* name = control_description(id).name;
      HWND box = window.control(id);
      const RECT band = caption_band(box);
      HRGN painted = painted_region(box);
      EXPECT_TRUE(region_covers(painted, band)) << name << " at " << dots_per_inch;
      for (const ControlId other : boxes) {
        if (other == id) continue;
        HRGN theirs = painted_region(window.control(other));
        EXPECT_FALSE(regions_meet(painted, theirs))
            << name << " and " << control_description(other).name << " at " << dots_per_inch;
        DeleteObject(theirs);
      }
      DeleteObject(painted);
      const POINT corners[] = {{band.left, band.top}, {band.right - 1, band.top},
                               {band.left, band.bottom - 1}, {band.right - 1, band.bottom - 1}};
      for (POINT point : corners) {
        ClientToScreen(window.hwnd(), &point);
        EXPECT_EQ(WindowFromPoint(point), box) << name << " at " << dots_per_inch;
      }
    }
  }
}

TEST_F(Win32WindowTest, ReturnPressesTheFocusedButtonOnlyAndEscapeNothing) {
  driver.click(ControlId::chkDovrel);
  SetFocus(window.control(ControlId::txtVersion));
  driver.press(VK_RETURN);
  driver.press(VK_ESCAPE);
  EXPECT_EQ(presses, 0);
  EXPECT_TRUE(IsWindow(window.hwnd()));
  SetFocus(window.control(ControlId::cmdUpdate));
  driver.press(VK_RETURN);
  EXPECT_EQ(presses, 1);
}

}  // namespace
}  // namespace norv::app::win32
