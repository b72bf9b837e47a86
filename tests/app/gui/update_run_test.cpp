// Runs of the real update command through the real "Update Version" button,
// on test doubles of the installation services.

#include <string>

#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/gui/frm_version_update.h"
#include "app/update_command.h"
#include "tests/app/app_doubles.h"
#include "tests/app/gui/window_driver.h"
#include "tests/stamping/stamping_doubles.h"
#include "tests/support/temp_dir.h"

namespace norv::app::gui {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using test::ShownBox;

class UpdateRunTest : public ::testing::Test {
 protected:
  UpdateRunTest() : paths(dir.path()) {}
  void SetUp() override { ASSERT_TRUE(driver.show()) << "the window never became active"; }

  void install_at(const std::string& directory) {
    registry.values["Software\\Norv Software|InstallDir"] = {1, directory};
  }

  test::TempDir dir;
  test::FolderPathMapper paths;
  test::FixedRegistry registry;
  test::MemoryProfile profile;
  test::RecordingBoxes boxes;
  InstallationServices services{registry, profile, paths};
  frmVersionUpdate window{
      [this](VersionUpdateWindow& shown) { cmdUpdate_Click(shown, boxes, services); }};
  test::WindowDriver driver{window};
};

TEST_F(UpdateRunTest, VersionWithTwoPointsIsRefusedBeforeTheRegistryIsRead) {
  install_at("C:\\Norv");
  driver.click_box("chkDovrel");
  driver.type_version("1.0.0");
  driver.click_button("cmdUpdate");
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"Invalid version number, please check.", 0, ""}));
  EXPECT_THAT(registry.queries, IsEmpty());
  EXPECT_EQ(driver.focused(), "cmdUpdate") << "the focus stays where it was";
}

TEST_F(UpdateRunTest, FendrelWithoutAYearAsksForOneAndMovesTheFocusToTheList) {
  install_at("C:\\Norv");
  driver.click_box("chkFendrel");
  driver.click_box("chkDovrel");  // enables the button although no year is chosen
  driver.click_button("cmdUpdate");
  EXPECT_THAT(boxes.shown,
              ElementsAre(ShownBox{"Select Year to update version for Fendrel ", 0, ""}));
  EXPECT_EQ(driver.focused(), "cmbYear");
  EXPECT_THAT(registry.queries, IsEmpty());
  EXPECT_EQ(driver.year_list().currentIndex(), -1) << "the command chooses no year";
}

TEST_F(UpdateRunTest, MissingInstallationIsReportedAndEndsTheProgram) {
  driver.click_box("chkBrenvik");
  EXPECT_TRUE(test::program_ends_after([this] { driver.click_button("cmdUpdate"); }));
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"Norv not installed in this Machine.", 0, ""}));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(UpdateRunTest, InstallationWithoutDatabasesGivesTheNoticeAndCanRunAgain) {
  install_at("C:\\Norv");
  driver.click_box("chkFendrel");
  driver.choose_year_in_popup(0);
  driver.click_box("chkBrenvik");
  driver.click_button("cmdUpdate");
  driver.click_button("cmdUpdate");
  const ShownBox notice{"Could not find Control table.", MB_ICONINFORMATION, ""};
  EXPECT_THAT(boxes.shown, ElementsAre(notice, notice));
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(driver.button("cmdUpdate").isEnabled());
  EXPECT_TRUE(window.fendrel_ticked() && window.brenvik_ticked());
  EXPECT_EQ(driver.year_list().currentIndex(), 0);
}

}  // namespace
}  // namespace norv::app::gui
