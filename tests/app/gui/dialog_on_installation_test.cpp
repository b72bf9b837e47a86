// The dialog on a Wine-style prefix holding a copy of the shared
// installation tree, with this platform's real registry, settings and path
// services: what a user does, what the user is shown, and what the
// databases hold afterwards (read back with mdbtools).

#include <memory>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/gui/frm_version_update.h"
#include "app/update_command.h"
#include "platform/path_mapper.h"
#include "settings/private_profile.h"
#include "settings/registry.h"
#include "tests/app/app_doubles.h"
#include "tests/app/gui/window_driver.h"
#include "tests/app/install_prefix.h"
#include "tests/support/fixtures.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::app::gui {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using test::ShownBox;
using test::versions_of;

class DialogOnInstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NORV_REQUIRE_FIXTURES();
    NORV_REQUIRE_MDBTOOLS();
    tree = test::make_install_prefix(dir.path() / "prefix");
    registry = settings::make_wine_prefix_registry(tree.prefix);
    paths = platform::make_wine_path_mapper(tree.prefix);
    profile = settings::make_private_profile(*paths);
    services = std::make_unique<InstallationServices>(
        InstallationServices{*registry, *profile, *paths});
    ASSERT_TRUE(driver.show()) << "the window never became active";
  }

  // Chooses the tree's year in the list: false once it is no longer listed.
  bool choose_tree_year() {
    const int index = driver.year_list().findText(QStringLiteral("2024"));
    if (index < 0) return false;
    driver.choose_year_in_popup(index);
    return true;
  }

  test::TempDir dir;
  test::InstallPrefix tree;
  std::unique_ptr<settings::Registry> registry;
  std::unique_ptr<platform::PathMapper> paths;
  std::unique_ptr<settings::PrivateProfile> profile;
  std::unique_ptr<InstallationServices> services;
  test::RecordingBoxes boxes;
  frmVersionUpdate window{
      [this](VersionUpdateWindow& shown) { cmdUpdate_Click(shown, boxes, *services); }};
  test::WindowDriver driver{window};
};

TEST_F(DialogOnInstallationTest, StampsTheTickedModulesAndShowsWhatItHandled) {
  driver.click_box("chkFendrel");
  if (!choose_tree_year()) GTEST_SKIP() << "2024 is no longer among the years listed";
  driver.click_box("chkDovrel");
  driver.type_version("2.5");
  driver.click_button("cmdUpdate");

  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"The version has been updated to 2.5 for\r\n"
                                                " - Fendrel\r\n - I2024\r\n - P2024\r\n"
                                                " - S2024\r\n - Dovrel\r\n",
                                                MB_OK, ""}));
  EXPECT_THAT(versions_of(tree / "Data/Fendrel.mdb"), ElementsAre("2.5"));
  EXPECT_THAT(versions_of(tree / "Data/Fendrel.mdb", "DovrelControl"), ElementsAre("2.5"));
  for (const char* file : {"Data/2024/I2024.mdb", "Data/2024/P2024.mdb", "Data/2024/S2024.mdb",
                           "Data/Dovrel/Dovrel.mdb"})
    EXPECT_THAT(versions_of(tree / file), ElementsAre("2.5")) << file;
  EXPECT_THAT(versions_of(tree / "Brenvik/Company.mdb"), ElementsAre("0.9")) << "not ticked";
  EXPECT_TRUE(driver.button("cmdUpdate").isEnabled()) << "the run can be repeated at once";
}

TEST_F(DialogOnInstallationTest, DamagedDatabaseStopsTheRunInTheErrorBox) {
  test::write_file(tree / "Data/Dovrel/Dovrel.mdb", "this is no database");
  driver.click_box("chkFendrel");
  if (!choose_tree_year()) GTEST_SKIP() << "2024 is no longer among the years listed";
  driver.click_box("chkDovrel");
  driver.click_box("chkBrenvik");
  driver.type_version("3");
  driver.click_button("cmdUpdate");

  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].style, MB_ICONERROR);
  EXPECT_EQ(boxes.shown[0].title, "Norv Version Update");
  EXPECT_THAT(boxes.shown[0].text, HasSubstr("Dovrel.mdb"));
  EXPECT_THAT(versions_of(tree / "Data/Fendrel.mdb"), ElementsAre("3")) << "stamped before";
  EXPECT_THAT(versions_of(tree / "Brenvik/Company.mdb"), ElementsAre("0.9")) << "never reached";
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace norv::app::gui
