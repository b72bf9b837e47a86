#include "app/gui/frm_version_update.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QWindow>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/twips.h"
#include "tests/app/gui/window_driver.h"

namespace norv::app::gui {
namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(driver.show()) << "the window never became active"; }

  bool list_enabled() const { return driver.year_list().isEnabled(); }
  bool button_enabled() const { return driver.button("cmdUpdate").isEnabled(); }

  // How often the update command ran.
  int presses = 0;

  frmVersionUpdate window{[this](VersionUpdateWindow&) { ++presses; }};
  test::WindowDriver driver{window};
};

// The state at start common to every front end is in the behaviour suite.
TEST_F(WindowTest, StartsWithItsCaptionAndAnEditableVersion) {
  EXPECT_EQ(window.windowTitle(), "Version Update");
  EXPECT_FALSE(driver.version_box().isReadOnly());
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

TEST_F(WindowTest, YearListTakesNoTyping) { EXPECT_FALSE(driver.year_list().isEditable()); }

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

TEST_F(WindowTest, ReturnInTheVersionBoxPressesNoButton) {
  driver.click_box("chkDovrel");
  driver.type_version("3");
  QTest::keyClick(&driver.version_box(), Qt::Key_Return);
  EXPECT_EQ(presses, 0);
  EXPECT_TRUE(window.isVisible());
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
