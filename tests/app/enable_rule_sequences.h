#pragma once

// The enable rules of the three boxes, the year list and "Update Version",
// as sequences of user actions and the states each must leave. Every
// front end's window and the toolkit-free form run the same table.

#include <ostream>
#include <vector>

namespace norv::test {

// Actions: F, D, B click the Fendrel, Dovrel, Brenvik boxes; Y chooses
// the year list's entry kEntryChosenByY; K presses the down arrow on the
// closed list; E empties the version text.
inline constexpr int kEntryChosenByY = 1;

// The year index after Y on the disabled list: the one thing that differs
// between the windows. The native list takes the choice from its message,
// which a disabled list obeys (kEntryChosenByY); the Qt list's popup never
// opens while it is disabled (-1). Neither is a click of the user's, so in
// both the rules leave the button disabled.
inline constexpr int kIndexAfterChoiceOnDisabledList = -2;
struct EnableRuleSequence {
  const char* name;
  const char* actions;
  bool list_enabled;
  bool button_enabled;
  int year_index;  // or kIndexAfterChoiceOnDisabledList
};

inline void PrintTo(const EnableRuleSequence& sequence, std::ostream* out) {
  *out << '"' << sequence.actions << '"';
}

inline const std::vector<EnableRuleSequence>& enable_rule_sequences() {
  static const std::vector<EnableRuleSequence> sequences = {
      {"FendrelTickedWaitsForAYear", "F", true, false, -1},
      {"ChoosingAYearEnables", "FY", true, true, 1},
      {"DovrelAloneEnablesWithoutTheList", "D", false, true, -1},
      {"BrenvikAloneEnablesWithoutTheList", "B", false, true, -1},
      {"DovrelThenFendrelDisables", "DF", true, false, -1},
      {"DovrelThenFendrelThenYearEnables", "DFY", true, true, 1},
      {"UntickingFendrelKeepsTheYearChosen", "FYF", false, false, 1},
      {"UntickingFendrelLeavesBrenvikEnabling", "FBYF", false, true, 1},
      {"DovrelIgnoresTheMissingYear", "FD", true, true, -1},
      {"TickingFendrelAgainDisablesDespiteTheYear", "FYDFF", true, false, 1},
      {"ChoosingTheSameYearAgainEnables", "FYDFFY", true, true, 1},
      {"UntickingTheLastBoxDisables", "DBDB", false, false, -1},
      {"UntickingFendrelWithDovrelTickedEnables", "FDF", false, true, -1},
      {"TheDisabledListTakesNoClick", "Y", false, false, kIndexAfterChoiceOnDisabledList},
      {"ArrowKeyChoosesAYear", "FK", true, true, 0},
      {"EmptyingTheVersionChangesNothing", "FYE", true, true, 1},
  };
  return sequences;
}

}  // namespace norv::test
