#include "app/update_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/update_messages.h"
#include "app/version_number.h"
#include "tests/app/app_doubles.h"
#include "tests/stamping/fake_access_layer.h"
#include "tests/stamping/stamping_doubles.h"
#include "tests/support/temp_dir.h"

namespace norv::app {
namespace {

using test::FakeAccessLayer;
using test::FakeDatabase;
using test::ShownBox;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kIni = "C:\\Norv\\NORV.INI";

class UpdateCommandTest : public ::testing::Test {
 protected:
  UpdateCommandTest() : paths(dir.path()) {
    layer().clear();
    registry.values["Software\\Norv Software|InstallDir"] = {1, "C:\\Norv"};
    profile.files[kIni]["Fendrel"]["ServersMDBPath"] = "C:\\Norv\\Data";
    profile.files[kIni]["Brenvik"]["DatabaseDir"] = "C:\\Norv\\Brenvik";
  }

  static FakeAccessLayer& layer() { return FakeAccessLayer::instance(); }
  void add(const std::string& path, FakeDatabase db = FakeDatabase::of({{"Control", {"0.9"}}})) {
    layer().add(paths.native(path), std::move(db));
  }
  std::vector<std::string>& rows(const std::string& path, const std::string& table = "Control") {
    return layer().at(paths.native(path)).tables.at(table);
  }
  void click() { outcome = cmdUpdate_Click(window, boxes, {registry, profile, paths}); }

  // The whole demo-like installation: every module has its files.
  void add_installation() {
    add("C:\\Norv\\Data\\Fendrel.mdb",
        FakeDatabase::of({{"Control", {"0.9"}}, {"DovrelControl", {"0.8"}}}));
    add("C:\\Norv\\Data\\2024\\P2024.mdb");
    add("C:\\Norv\\Data\\Dovrel\\Dovrel.mdb");
    add("C:\\Norv\\Brenvik\\Company.mdb",
        FakeDatabase::of({{"Control", {"0.9"}}}).with_highest_company(jet::Value{std::int32_t{1}}));
    add("C:\\Norv\\Brenvik\\BV0001.mdb");
  }

  test::TempDir dir;
  test::FolderPathMapper paths;
  test::TestWindow window;
  test::RecordingBoxes boxes;
  test::FixedRegistry registry;
  test::MemoryProfile profile;
  // How the last click's run ended.
  UpdateOutcome outcome = UpdateOutcome::error;
};

TEST(VersionNumber, AcceptsPlainDecimalNumbersOnly) {
  const std::string largest_double = "17976931348623157" + std::string(292, '0');
  const std::string tiny = "0." + std::string(400, '0') + "1";
  for (const std::string& text : {std::string("1.0"), std::string("2"), std::string("10.25"),
                                  std::string("1."), std::string(".5"), std::string("007"),
                                  largest_double, tiny})
    EXPECT_TRUE(is_plain_decimal_number(text)) << text;
  // Past the largest Double: the number test must refuse it, not the engine.
  for (const std::string& text : {"2" + std::string(308, '0'), std::string(100000, '9'),
                                  "1" + std::string(400, '0') + ".5"})
    EXPECT_FALSE(is_plain_decimal_number(text)) << text.substr(0, 20) << "... (" << text.size()
                                                << " characters)";
  for (const char* text : {"", ".", "1.0.0", " 1.0", "1.0 ", "-1", "+1", "1,0", "1,000", "1e3",
                           "0x1F", "1a", "(1)", "$5", "1 0", "1.0; DROP TABLE Control"})
    EXPECT_FALSE(is_plain_decimal_number(text)) << text;
}

TEST_F(UpdateCommandTest, RefusedVersionTextEndsTheRunBeforeAnythingIsRead) {
  add_installation();
  window.fendrel = window.dovrel = window.brenvik = true;
  window.year = "2024";
  window.msg = "from the last run";
  for (const char* text : {"", "1.0.0", "abc", "1,0"}) {
    window.version = text;
    click();
  }
  EXPECT_EQ(boxes.shown.size(), 4u);
  EXPECT_EQ(boxes.shown.back(), (ShownBox{"Invalid version number, please check.", 0, ""}));
  EXPECT_EQ(outcome, UpdateOutcome::refused_version);
  EXPECT_THAT(window.msg, IsEmpty()) << "emptied before the check";
  EXPECT_THAT(registry.queries, IsEmpty());
  EXPECT_THAT(layer().log, IsEmpty());
  EXPECT_EQ(window.focus_moves, 0);
}

TEST_F(UpdateCommandTest, FendrelWithoutAYearAsksForOneAndMovesTheFocus) {
  add_installation();
  window.fendrel = window.dovrel = true;
  click();
  EXPECT_THAT(boxes.shown,
              ElementsAre(ShownBox{"Select Year to update version for Fendrel ", 0, ""}));
  EXPECT_EQ(outcome, UpdateOutcome::no_year);
  EXPECT_EQ(window.focus_moves, 1);
  EXPECT_THAT(registry.queries, IsEmpty());
  EXPECT_THAT(layer().log, IsEmpty());
}

TEST_F(UpdateCommandTest, MissingInstallationUnloadsTheWindowWithoutReadingSettings) {
  registry.values.clear();
  window.dovrel = true;
  click();
  EXPECT_THAT(registry.queries, ElementsAre(std::to_string(settings::HKEY_LOCAL_MACHINE_ROOT) +
                                            " Software\\Norv Software|InstallDir"));
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"Norv not installed in this Machine.", 0, ""}));
  EXPECT_EQ(outcome, UpdateOutcome::not_installed);
  EXPECT_TRUE(window.unloaded);
  EXPECT_THAT(profile.reads, IsEmpty());
}

TEST_F(UpdateCommandTest, FullRunStampsTheModulesInOrderAndShowsTheSummary) {
  add_installation();
  window.fendrel = window.dovrel = window.brenvik = true;
  window.year = "2024";
  window.version = "2.5";
  click();
  EXPECT_THAT(profile.reads,
              ElementsAre(kIni + " [Fendrel] ServersMDBPath", kIni + " [Brenvik] DatabaseDir"));
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"The version has been updated to 2.5 for\r\n"
                                                " - Fendrel\r\n - P2024\r\n - Dovrel\r\n - Brenvik",
                                                0, ""}));
  EXPECT_EQ(outcome, UpdateOutcome::updated);
  EXPECT_THAT(rows("C:\\Norv\\Data\\Fendrel.mdb"), ElementsAre("2.5"));
  EXPECT_THAT(rows("C:\\Norv\\Data\\Fendrel.mdb", "DovrelControl"), ElementsAre("2.5"));
  EXPECT_THAT(rows("C:\\Norv\\Data\\2024\\P2024.mdb"), ElementsAre("2.5"));
  EXPECT_THAT(rows("C:\\Norv\\Data\\Dovrel\\Dovrel.mdb"), ElementsAre("2.5"));
  EXPECT_THAT(rows("C:\\Norv\\Brenvik\\Company.mdb"), ElementsAre("2.5"));
  EXPECT_THAT(rows("C:\\Norv\\Brenvik\\BV0001.mdb"), ElementsAre("2.5"));
  EXPECT_FALSE(window.unloaded);
}

TEST_F(UpdateCommandTest, SettingsAreReadWhenTheBoxesNeedThemAndMissingOnesReadEmpty) {
  add_installation();
  window.brenvik = true;
  click();
  EXPECT_THAT(profile.reads,
              ElementsAre(kIni + " [Fendrel] ServersMDBPath", kIni + " [Brenvik] DatabaseDir"));
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{
                               "The version has been updated to 1.0 for\r\n - Brenvik", 0, ""}));

  profile.files.clear();  // no NORV.INI: the updaters look below the empty text
  boxes.shown.clear();
  paths.asked.clear();
  window.brenvik = false;
  window.dovrel = true;
  click();
  EXPECT_THAT(paths.asked, ElementsAre("\\Fendrel.mdb", "\\Dovrel\\Dovrel.mdb"));
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"Could not find Control table.", 64, ""}));
  EXPECT_EQ(outcome, UpdateOutcome::no_control_table);
}

TEST_F(UpdateCommandTest, AnErrorEndsTheRunInTheErrorBoxAndKeepsWhatWasStamped) {
  add_installation();
  layer().at(paths.native("C:\\Norv\\Data\\Dovrel\\Dovrel.mdb")).fails_to_open = true;
  window.fendrel = window.dovrel = window.brenvik = true;
  window.year = "2024";
  click();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].style, 16);
  EXPECT_EQ(outcome, UpdateOutcome::error);
  EXPECT_EQ(boxes.shown[0].title, "Norv Version Update");
  EXPECT_THAT(boxes.shown[0].text, ::testing::HasSubstr("Dovrel.mdb"));
  EXPECT_THAT(rows("C:\\Norv\\Data\\Fendrel.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(rows("C:\\Norv\\Data\\Fendrel.mdb", "DovrelControl"), ElementsAre("1.0"));
  EXPECT_THAT(rows("C:\\Norv\\Brenvik\\Company.mdb"), ElementsAre("0.9"));
  EXPECT_EQ(window.msg, " - Fendrel\r\n - P2024\r\n") << "kept, unshown";
  EXPECT_THAT(profile.reads, ElementsAre(kIni + " [Fendrel] ServersMDBPath"));
  EXPECT_FALSE(window.unloaded);
}

TEST_F(UpdateCommandTest, EachRunStartsWithAnEmptySummary) {
  add("C:\\Norv\\Data\\Dovrel\\Dovrel.mdb");
  window.dovrel = true;
  click();
  click();
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "The version has been updated to 1.0 for\r\n - Dovrel\r\n");
}

}  // namespace
}  // namespace norv::app
