// The dialog's behaviour as a user meets it, the same for every front end:
// its state at start, the year list, Tab, the enable rules, "Update
// Version" and "Close", and runs of the real update command on doubles of
// the installation services. Built into each front end's tests with that
// front end's show_dialog_under_test().

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/update_command.h"
#include "tests/app/app_doubles.h"
#include "tests/app/dialog_under_test.h"
#include "tests/app/enable_rule_sequences.h"
#include "tests/stamping/stamping_doubles.h"
#include "tests/support/temp_dir.h"

namespace norv::test {
namespace {

using app::ControlId;
using app::VersionUpdateWindow;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// How long a program that should end is given, and how long one that
// should not is watched.
constexpr int kEndsWithin = 5000;
constexpr int kKeepsRunningFor = 300;

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog = show_dialog_under_test([this](VersionUpdateWindow& w) {
      presses.push_back({w.fendrel_ticked(), w.dovrel_ticked(), w.brenvik_ticked(),
                         w.version_text(), w.year_text()});
      on_press(w);
    });
  }

  // What the update command saw of the window at each press.
  struct Press {
    bool fendrel, dovrel, brenvik;
    std::string version, year;
  };
  std::vector<Press> presses;
  // Runs at each press after it has been recorded.
  std::function<void(VersionUpdateWindow&)> on_press = [](VersionUpdateWindow&) {};
  std::unique_ptr<DialogUnderTest> dialog;
};

std::vector<std::string> years_from(int newest) {
  std::vector<std::string> years;
  for (int n = 0; n < app::kYearsListed; ++n) years.push_back(std::to_string(newest - n));
  return years;
}

TEST_F(DialogTest, StartsWithNothingTickedNoYearChosenAndTheButtonDisabled) {
  for (ControlId box : {ControlId::chkFendrel, ControlId::chkDovrel, ControlId::chkBrenvik}) {
    EXPECT_TRUE(dialog->enabled(box));
    EXPECT_FALSE(dialog->ticked(box));
  }
  EXPECT_FALSE(dialog->enabled(ControlId::cmbYear));
  EXPECT_EQ(dialog->year_index(), -1);
  EXPECT_EQ(dialog->window().year_text(), "");
  EXPECT_FALSE(dialog->enabled(ControlId::cmdUpdate));
  EXPECT_TRUE(dialog->enabled(ControlId::Command1));
  EXPECT_TRUE(dialog->enabled(ControlId::txtVersion));
  EXPECT_EQ(dialog->window().version_text(), "1.0");
  EXPECT_EQ(dialog->window().strMsg(), "");
  EXPECT_EQ(dialog->focused(), "chkFendrel");
}

TEST_F(DialogTest, YearListHoldsTheCurrentYearAndTheFiveBeforeIt) {
  const std::time_t now = std::time(nullptr);
  const int this_year = std::localtime(&now)->tm_year + 1900;
  // Loaded on the eve of a new year, the list may start with the old one.
  EXPECT_THAT(dialog->years(), ::testing::AnyOf(ElementsAreArray(years_from(this_year)),
                                                ElementsAreArray(years_from(this_year - 1))));
}

TEST_F(DialogTest, TabSkipsLabelsAndDisabledControls) {
  EXPECT_THAT(dialog->tab(6, false), ElementsAre("chkDovrel", "txtVersion", "chkBrenvik",
                                                 "Command1", "chkFendrel", "chkDovrel"));
}

TEST_F(DialogTest, TabFollowsTabIndexOnceEverythingIsEnabledAndShiftTabGoesBack) {
  dialog->click(ControlId::chkDovrel);
  dialog->click(ControlId::chkFendrel);
  dialog->choose_year(0);
  ASSERT_TRUE(dialog->enabled(ControlId::cmdUpdate));
  dialog->focus(ControlId::cmdUpdate);
  EXPECT_THAT(dialog->tab(7, false), ElementsAre("chkFendrel", "chkDovrel", "cmbYear",
                                                 "txtVersion", "chkBrenvik", "Command1",
                                                 "cmdUpdate"));
  EXPECT_THAT(dialog->tab(2, true), ElementsAre("Command1", "chkBrenvik"));
}

class EnableRulesTest : public DialogTest,
                        public ::testing::WithParamInterface<EnableRuleSequence> {
 protected:
  void perform(char action) {
    switch (action) {
      case 'F': dialog->click(ControlId::chkFendrel); break;
      case 'D': dialog->click(ControlId::chkDovrel); break;
      case 'B': dialog->click(ControlId::chkBrenvik); break;
      case 'Y': dialog->choose_year(kEntryChosenByY); break;
      case 'K': dialog->step_year_with_keyboard(); break;
      case 'E': dialog->type_version(""); break;
      default: FAIL() << "unknown action " << action;
    }
  }
};

TEST_P(EnableRulesTest, LeaveTheStatesTheRulesGive) {
  const EnableRuleSequence& sequence = GetParam();
  for (const char* action = sequence.actions; *action; ++action) perform(*action);
  EXPECT_EQ(dialog->enabled(ControlId::cmbYear), sequence.list_enabled);
  EXPECT_EQ(dialog->enabled(ControlId::cmdUpdate), sequence.button_enabled);
  int year_index = sequence.year_index;
  if (year_index == kIndexAfterChoiceOnDisabledList)
    year_index = dialog->disabled_list_obeys_a_forced_choice() ? kEntryChosenByY : -1;
  EXPECT_EQ(dialog->year_index(), year_index);
  EXPECT_TRUE(presses.empty());
}

INSTANTIATE_TEST_SUITE_P(Sequences, EnableRulesTest,
                         ::testing::ValuesIn(enable_rule_sequences()),
                         [](const ::testing::TestParamInfo<EnableRuleSequence>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(DialogTest, SpaceTicksTheFocusedBox) {
  dialog->press_space();
  EXPECT_TRUE(dialog->window().fendrel_ticked());
  EXPECT_TRUE(dialog->enabled(ControlId::cmbYear));
  EXPECT_FALSE(dialog->enabled(ControlId::cmdUpdate));
  dialog->tab(1, false);
  dialog->press_space();
  EXPECT_TRUE(dialog->window().dovrel_ticked());
  EXPECT_TRUE(dialog->enabled(ControlId::cmdUpdate));
}

TEST_F(DialogTest, UpdateButtonRunsTheCommandOnTheWindowsValues) {
  dialog->click(ControlId::cmdUpdate);
  EXPECT_TRUE(presses.empty()) << "the disabled button takes no click";
  dialog->click(ControlId::chkFendrel);
  dialog->click(ControlId::chkBrenvik);
  dialog->choose_year(3);
  dialog->type_version("2.5");
  dialog->click(ControlId::cmdUpdate);
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_TRUE(presses[0].fendrel);
  EXPECT_FALSE(presses[0].dovrel);
  EXPECT_TRUE(presses[0].brenvik);
  EXPECT_EQ(presses[0].version, "2.5");
  EXPECT_EQ(presses[0].year, dialog->years()[3]);
}

TEST_F(DialogTest, CommandMovesTheFocusToTheYearList) {
  on_press = [](VersionUpdateWindow& w) { w.focus_year_list(); };
  dialog->click(ControlId::chkFendrel);
  dialog->click(ControlId::chkDovrel);
  dialog->click(ControlId::cmdUpdate);
  EXPECT_EQ(dialog->focused(), "cmbYear");
}

TEST_F(DialogTest, CloseEndsTheProgramWhateverIsTicked) {
  dialog->click(ControlId::chkFendrel);
  EXPECT_TRUE(dialog->program_ends_after([this] { dialog->click(ControlId::Command1); },
                                         kEndsWithin));
  EXPECT_FALSE(dialog->is_open());
  EXPECT_TRUE(presses.empty());
}

TEST_F(DialogTest, ClosingFromTheDesktopEndsTheProgram) {
  dialog->click(ControlId::chkDovrel);
  EXPECT_TRUE(dialog->program_ends_after([this] { dialog->close_from_desktop(); }, kEndsWithin));
  EXPECT_FALSE(dialog->is_open());
}

TEST_F(DialogTest, UnloadFromTheCommandEndsTheProgramAfterIt) {
  bool ran_on = false;
  on_press = [&ran_on](VersionUpdateWindow& w) {
    w.unload();
    // The command finishes its step on the unloaded window, which still answers.
    static_cast<void>(w.dovrel_ticked());
    ran_on = true;
  };
  dialog->click(ControlId::chkDovrel);
  EXPECT_TRUE(dialog->program_ends_after([this] { dialog->click(ControlId::cmdUpdate); },
                                         kEndsWithin));
  EXPECT_TRUE(ran_on);
  EXPECT_FALSE(dialog->is_open());
}

TEST_F(DialogTest, AnOpenWindowKeepsTheProgramRunning) {
  EXPECT_FALSE(dialog->program_ends_after([this] { dialog->click(ControlId::chkFendrel); },
                                          kKeepsRunningFor));
  EXPECT_TRUE(dialog->is_open());
}

// The real update command behind the real button, on doubles of the
// installation services: the boxes it shows, as the seam receives them.
class UpdateRunTest : public ::testing::Test {
 protected:
  UpdateRunTest() : paths(dir.path()) {}
  void SetUp() override {
    dialog = show_dialog_under_test(
        [this](VersionUpdateWindow& shown) { app::cmdUpdate_Click(shown, boxes, services); });
  }

  void install_at(const std::string& directory) {
    registry.values["Software\\Norv Software|InstallDir"] = {1, directory};
  }

  TempDir dir;
  FolderPathMapper paths;
  FixedRegistry registry;
  MemoryProfile profile;
  RecordingBoxes boxes;
  app::InstallationServices services{registry, profile, paths};
  std::unique_ptr<DialogUnderTest> dialog;
};

TEST_F(UpdateRunTest, VersionWithTwoPointsIsRefusedBeforeTheRegistryIsRead) {
  install_at("C:\\Norv");
  dialog->click(ControlId::chkDovrel);
  dialog->type_version("1.0.0");
  dialog->click(ControlId::cmdUpdate);
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"Invalid version number, please check.", 0, ""}));
  EXPECT_THAT(registry.queries, IsEmpty());
  EXPECT_EQ(dialog->focused(), "cmdUpdate") << "the focus stays where the click put it";
  EXPECT_TRUE(dialog->is_open());
}

TEST_F(UpdateRunTest, FendrelWithoutAYearAsksForOneAndMovesTheFocusToTheList) {
  install_at("C:\\Norv");
  dialog->click(ControlId::chkFendrel);
  dialog->click(ControlId::chkDovrel);  // enables the button although no year is chosen
  dialog->focus(ControlId::txtVersion);
  dialog->click(ControlId::cmdUpdate);
  EXPECT_THAT(boxes.shown,
              ElementsAre(ShownBox{"Select Year to update version for Fendrel ", 0, ""}));
  EXPECT_EQ(dialog->focused(), "cmbYear");
  EXPECT_THAT(registry.queries, IsEmpty());
  EXPECT_EQ(dialog->year_index(), -1) << "the command chooses no year";
}

TEST_F(UpdateRunTest, MissingInstallationIsReportedAndEndsTheProgram) {
  dialog->click(ControlId::chkBrenvik);
  EXPECT_TRUE(dialog->program_ends_after([this] { dialog->click(ControlId::cmdUpdate); },
                                         kEndsWithin));
  EXPECT_THAT(boxes.shown, ElementsAre(ShownBox{"Norv not installed in this Machine.", 0, ""}));
  EXPECT_FALSE(dialog->is_open());
}

TEST_F(UpdateRunTest, InstallationWithoutDatabasesGivesTheNoticeAndCanRunAgain) {
  install_at("C:\\Norv");
  dialog->click(ControlId::chkFendrel);
  dialog->choose_year(0);
  dialog->click(ControlId::chkBrenvik);
  dialog->click(ControlId::cmdUpdate);
  dialog->click(ControlId::cmdUpdate);
  const ShownBox notice{"Could not find Control table.", app::MB_ICONINFORMATION, ""};
  EXPECT_THAT(boxes.shown, ElementsAre(notice, notice));
  EXPECT_TRUE(dialog->is_open());
  EXPECT_TRUE(dialog->enabled(ControlId::cmdUpdate));
  EXPECT_TRUE(dialog->window().fendrel_ticked() && dialog->window().brenvik_ticked());
  EXPECT_EQ(dialog->year_index(), 0);
}

}  // namespace
}  // namespace norv::test
