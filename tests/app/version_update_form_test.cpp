// The dialog's rules apart from any toolkit: VersionUpdateForm on controls
// that are plain values, clicked as a front end passes clicks on (none for
// a disabled control).

#include "app/version_update_form.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/app/enable_rule_sequences.h"

namespace norv::app {
namespace {

using test::EnableRuleSequence;
using test::kEntryChosenByY;
using test::kIndexAfterChoiceOnDisabledList;

class FormOnValues final : public VersionUpdateForm {
 public:
  explicit FormOnValues(UpdateCommand command) : VersionUpdateForm(std::move(command)) {
    for (const ControlDescription& control : kControls)
      enabled_[static_cast<std::size_t>(control.id)] = control.enabled_at_start;
  }

  bool fendrel_ticked() const override { return fendrel; }
  bool dovrel_ticked() const override { return dovrel; }
  bool brenvik_ticked() const override { return brenvik; }
  std::string version_text() const override { return version; }
  std::string year_text() const override { return year_index < 0 ? "" : years[year_index]; }
  void focus_year_list() override {}
  void unload() override { unloaded = true; }

  bool enabled(ControlId control) const { return enabled_[static_cast<std::size_t>(control)]; }

  // A user's clicks, passed on only to enabled controls.
  void click_box(bool& box, void (VersionUpdateForm::*handler)(), ControlId control) {
    if (!enabled(control)) return;
    box = !box;
    (this->*handler)();
  }
  void choose_year(int index) {
    if (!enabled(ControlId::cmbYear)) return;
    year_index = index;
    cmbYear_Click();
  }

  bool fendrel = false, dovrel = false, brenvik = false;
  std::string version = "1.0";
  std::vector<std::string> years;
  int year_index = -1;
  bool unloaded = false;

 protected:
  void add_year(const std::string& text) override { years.push_back(text); }
  int year_list_index() const override { return year_index; }
  void set_enabled(ControlId control, bool enabled) override {
    enabled_[static_cast<std::size_t>(control)] = enabled;
  }

 private:
  std::array<bool, kControls.size()> enabled_{};
};

class FormRulesTest : public ::testing::TestWithParam<EnableRuleSequence> {
 protected:
  FormRulesTest() {
    form.Form_Load();
    form.Form_Activate();
  }
  void perform(char action) {
    switch (action) {
      case 'F':
        form.click_box(form.fendrel, &VersionUpdateForm::chkFendrel_Click, ControlId::chkFendrel);
        break;
      case 'D':
        form.click_box(form.dovrel, &VersionUpdateForm::chkDovrel_Click, ControlId::chkDovrel);
        break;
      case 'B':
        form.click_box(form.brenvik, &VersionUpdateForm::chkBrenvik_Click, ControlId::chkBrenvik);
        break;
      case 'Y': form.choose_year(kEntryChosenByY); break;
      case 'K': form.choose_year(form.year_index + 1); break;
      case 'E': form.version.clear(); break;
      default: FAIL() << "unknown action " << action;
    }
  }

  int presses = 0;
  FormOnValues form{[this](VersionUpdateWindow&) { ++presses; }};
};

TEST_P(FormRulesTest, LeaveTheStatesTheRulesGive) {
  const EnableRuleSequence& sequence = GetParam();
  for (const char* action = sequence.actions; *action; ++action) perform(*action);
  EXPECT_EQ(form.enabled(ControlId::cmbYear), sequence.list_enabled);
  EXPECT_EQ(form.enabled(ControlId::cmdUpdate), sequence.button_enabled);
  // A disabled list takes no choice here, as a user finds it.
  EXPECT_EQ(form.year_index,
            sequence.year_index == kIndexAfterChoiceOnDisabledList ? -1 : sequence.year_index);
  EXPECT_EQ(presses, 0);
}

INSTANTIATE_TEST_SUITE_P(Sequences, FormRulesTest,
                         ::testing::ValuesIn(test::enable_rule_sequences()),
                         [](const ::testing::TestParamInfo<EnableRuleSequence>& info) {
                           return std::string(info.param.name);
                         });

TEST(VersionUpdateFormTest, LoadListsTheCurrentYearAndTheFiveBeforeItWithNoneChosen) {
  FormOnValues form{[](VersionUpdateWindow&) {}};
  const int before = current_year();
  form.Form_Load();
  const int newest = std::stoi(form.years.at(0));
  EXPECT_TRUE(newest == before || newest == current_year()) << newest;
  ASSERT_EQ(form.years.size(), static_cast<std::size_t>(kYearsListed));
  for (int n = 1; n < kYearsListed; ++n)
    EXPECT_EQ(form.years[n], std::to_string(newest - n));
  EXPECT_EQ(form.year_index, -1);
}

// Activation looks at Fendrel and Dovrel only: Brenvik alone leaves the
// button disabled until a box is clicked.
TEST(VersionUpdateFormTest, ActivationEnablesTheButtonForFendrelOrDovrelOnly) {
  struct Ticks {
    bool fendrel, dovrel, brenvik, button_enabled;
  };
  for (const Ticks ticks : {Ticks{false, false, false, false}, Ticks{true, false, false, true},
                            Ticks{false, true, false, true}, Ticks{false, false, true, false},
                            Ticks{true, true, true, true}}) {
    FormOnValues form{[](VersionUpdateWindow&) {}};
    form.fendrel = ticks.fendrel;
    form.dovrel = ticks.dovrel;
    form.brenvik = ticks.brenvik;
    form.Form_Activate();
    EXPECT_EQ(form.enabled(ControlId::cmdUpdate), ticks.button_enabled)
        << ticks.fendrel << ticks.dovrel << ticks.brenvik;
  }
}

TEST(VersionUpdateFormTest, UpdateRunsTheCommandOnTheFormAndCloseUnloadsIt) {
  std::vector<VersionUpdateWindow*> ran_on;
  FormOnValues form{[&ran_on](VersionUpdateWindow& window) {
    window.strMsg() += " - Dovrel\r\n";
    ran_on.push_back(&window);
  }};
  form.cmdUpdate_Click();
  form.cmdUpdate_Click();
  EXPECT_THAT(ran_on, ::testing::ElementsAre(&form, &form));
  EXPECT_EQ(form.strMsg(), " - Dovrel\r\n - Dovrel\r\n") << "the command empties it, not the form";
  EXPECT_FALSE(form.unloaded);
  form.Command1_Click();
  EXPECT_TRUE(form.unloaded);
}

}  // namespace
}  // namespace norv::app
