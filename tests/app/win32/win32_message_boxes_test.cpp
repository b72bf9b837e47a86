// The boxes as Windows shows them: a real MessageBoxA, found on the desktop
// by its owner while it is open, read and closed with its OK button.

#include "app/win32/win32_message_boxes.h"

#include <future>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/system_text_windows.h"
#include "tests/app/win32/message_box_probe.h"

namespace norv::app::win32 {
namespace {

struct BoxCase {
  const char* name;
  const char* text;
  int style;
  const char* title;
  const char* shown_title;
  LPCSTR icon;  // the system icon the box shows, null for none
  const char* shown_text = nullptr;  // null: the text as given
};

class Win32MessageBoxesTest : public ::testing::TestWithParam<BoxCase> {
 protected:
  Win32MessageBoxesTest() {
    owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                            100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~Win32MessageBoxesTest() override { DestroyWindow(owner); }

  HWND owner;
};

TEST_P(Win32MessageBoxesTest, ShowsTheTextTitleAndIconModallyOverItsOwner) {
  const BoxCase& c = GetParam();
  // The box is modal on this thread; another one looks at it and presses OK.
  struct Seen {
    std::optional<test::ShownMessageBox> box;
    bool owner_disabled = false;
  };
  auto seen = std::async(std::launch::async, [this] {
    Seen result;
    result.box = test::wait_for_message_box(GetCurrentProcessId(), owner);
    if (result.box) {
      result.owner_disabled = !IsWindowEnabled(owner);
      test::press_ok(*result.box);
    }
    return result;
  });
  Win32MessageBoxes(owner).show(c.text, c.style, c.title);
  const Seen result = seen.get();
  ASSERT_TRUE(result.box.has_value()) << "no box owned by the window appeared";
  // Read back through the ANSI functions, as any program reads it.
  EXPECT_EQ(platform::system_ansi_to_utf8(result.box->text), c.shown_text ? c.shown_text : c.text);
  EXPECT_EQ(platform::system_ansi_to_utf8(result.box->title), c.shown_title);
  EXPECT_TRUE(result.owner_disabled) << "the owner took input while the box was open";
  if (c.icon) {
    EXPECT_EQ(result.box->icon, LoadIconA(nullptr, c.icon));
  } else {
    EXPECT_EQ(result.box->icon, nullptr);
  }
  EXPECT_TRUE(IsWindowEnabled(owner));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, Win32MessageBoxesTest,
    ::testing::Values(
        BoxCase{"PlainBoxHasTheApplicationsTitleAndNoIcon", "Invalid version number, please check.",
                MB_OK, "", "Version Update", nullptr},
        BoxCase{"SummaryKeepsItsLineBreaks",
                "The version has been updated to 1.0 for\r\n - Fendrel\r\n - Dovrel\r\n", MB_OK,
                "", "Version Update", nullptr},
        BoxCase{"ErrorHasItsTitleAndTheStopIcon", "C:\\Norv\\Data\\Fendrel.mdb is damaged.",
                MB_ICONERROR, "Norv Version Update", "Norv Version Update", IDI_HAND},
        BoxCase{"NoticeHasTheInformationIcon", "Could not find Control table.",
                MB_ICONINFORMATION, "", "Version Update", IDI_ASTERISK},
        // A path with letters outside ASCII, as an installation in
        // "C:\Programme\Norv Größe" gives: UTF-8 inside the program, the
        // code page's own letters on the screen.
        BoxCase{"TextOutsideAsciiIsShownInTheCodePage",
                "C:\\Programme\\Norv Gr\xC3\xB6\xC3\x9F" "e\\Daten\\Fendrel.mdb is open in another "
                "program; close it and run again",
                MB_ICONERROR, "Norv Version Update", "Norv Version Update", IDI_HAND},
        // Letters the code page lacks: the box still opens, with a stand-in
        // for each, since a box that cannot show its text helps no one.
        BoxCase{"TextTheCodePageLacksStillShows",
                "C:\\Norv\\\xE6\x97\xA5\xE6\x9C\xAC\\Fendrel.mdb is damaged.", MB_ICONERROR,
                "Norv Version Update", "Norv Version Update", IDI_HAND,
                "C:\\Norv\\??\\Fendrel.mdb is damaged."}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norv::app::win32
