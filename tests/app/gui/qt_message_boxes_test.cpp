#include "app/gui/qt_message_boxes.h"

#include <optional>
#include <string>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace norv::app::gui {
namespace {

// What the open box showed, captured before OK is pressed on it.
struct Shown {
  QMessageBox::Icon icon;
  std::string title;
  std::string text;
  QMessageBox::StandardButtons buttons;
  bool modal;
};

// Shows one box and presses Return on it once it is up; returns what it showed.
std::optional<Shown> show_and_confirm(const std::string& text, int style, const std::string& title) {
  std::optional<Shown> shown;
  QTimer::singleShot(0, [&shown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    shown = Shown{box->icon(), box->windowTitle().toStdString(), box->text().toStdString(),
                  box->standardButtons(), box->isModal()};
    QTest::keyClick(box, Qt::Key_Return);
  });
  QtMessageBoxes boxes;
  boxes.show(text, style, title);  // returns once OK is pressed
  return shown;
}

TEST(QtMessageBoxesTest, PlainBoxHasNoIconAndTheApplicationTitle) {
  const auto shown = show_and_confirm("Invalid version number, please check.", MB_OK, "");
  ASSERT_TRUE(shown) << "no modal message box appeared";
  EXPECT_EQ(shown->icon, QMessageBox::NoIcon);
  EXPECT_EQ(shown->title, "Version Update");
  EXPECT_EQ(shown->text, "Invalid version number, please check.");
  EXPECT_EQ(shown->buttons, QMessageBox::Ok);
  EXPECT_TRUE(shown->modal);
}

TEST(QtMessageBoxesTest, ErrorBoxHasTheStopIconAndItsOwnTitle) {
  const auto shown = show_and_confirm("C:\\data\\Fendrel.mdb is damaged.", MB_ICONERROR,
                                      "Norv Version Update");
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->icon, QMessageBox::Critical);
  EXPECT_EQ(shown->title, "Norv Version Update");
  EXPECT_EQ(shown->buttons, QMessageBox::Ok);
}

TEST(QtMessageBoxesTest, NoticeHasTheInformationIcon) {
  const auto shown = show_and_confirm("Could not find Control table.", MB_ICONINFORMATION, "");
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->icon, QMessageBox::Information);
  EXPECT_EQ(shown->title, "Version Update");
}

TEST(QtMessageBoxesTest, TextShowsAsWrittenWithWindowsLineBreaks) {
  const auto shown = show_and_confirm(
      "The version has been updated to 1.0 for\r\n - Fendrel\r\n - <b>2024</b> I", MB_OK, "");
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->text, "The version has been updated to 1.0 for\n - Fendrel\n - <b>2024</b> I");
}

}  // namespace
}  // namespace norv::app::gui
