#pragma once

// frmVersionUpdate as drawn: the window's caption and client area, and each
// control's name, kind, caption or initial text, place in twips and state at
// start, in tab order (TabIndex). Every front end builds the window from this
// table alone, so the dialog looks and tabs alike whatever draws it.

#include <array>
#include <cstddef>

#include "app/twips.h"

namespace norv::app {

enum class ControlKind { CommandButton, Label, CheckBox, DropDownList, TextBox };

// The controls, numbered by TabIndex.
enum class ControlId : std::size_t {
  cmdUpdate,
  Label1,
  chkFendrel,
  chkDovrel,
  cmbYear,
  Label2,
  txtVersion,
  chkBrenvik,
  Command1,
};

struct ControlDescription {
  ControlId id;
  const char* name;
  ControlKind kind;
  const char* text;  // caption, or a text box's initial text; "" for none
  TwipsRect rect;
  bool enabled_at_start;
};

inline constexpr const char* kWindowCaption = "Version Update";
inline constexpr int kClientWidthTwips = 3540;
inline constexpr int kClientHeightTwips = 2130;

// In TabIndex order: kControls[i].id == ControlId(i).
inline constexpr std::array<ControlDescription, 9> kControls{{
    {ControlId::cmdUpdate, "cmdUpdate", ControlKind::CommandButton, "Update Version",
     {1920, 1050, 1455, 375}, false},
    {ControlId::Label1, "Label1", ControlKind::Label, "Select Year", {120, 240, 825, 195}, true},
    {ControlId::chkFendrel, "chkFendrel", ControlKind::CheckBox, "Fendrel",
     {240, 870, 1335, 495}, true},
    {ControlId::chkDovrel, "chkDovrel", ControlKind::CheckBox, "Dovrel", {240, 1175, 1215, 495},
     true},
    {ControlId::cmbYear, "cmbYear", ControlKind::DropDownList, "", {1080, 150, 1335, 315}, false},
    {ControlId::Label2, "Label2", ControlKind::Label, "Version:", {120, 600, 735, 255}, true},
    {ControlId::txtVersion, "txtVersion", ControlKind::TextBox, "1.0", {1080, 520, 1335, 315},
     true},
    {ControlId::chkBrenvik, "chkBrenvik", ControlKind::CheckBox, "Brenvik",
     {240, 1500, 1455, 495}, true},
    {ControlId::Command1, "Command1", ControlKind::CommandButton, "Close",
     {1920, 1560, 1455, 375}, true},
}};

constexpr bool in_tab_order() {
  for (std::size_t i = 0; i < kControls.size(); ++i)
    if (kControls[i].id != static_cast<ControlId>(i)) return false;
  return true;
}
static_assert(in_tab_order(), "kControls is indexed by ControlId");

constexpr const ControlDescription& control_description(ControlId id) {
  return kControls[static_cast<std::size_t>(id)];
}

// Labels take no keyboard focus and so are passed over by Tab.
constexpr bool takes_focus(ControlKind kind) { return kind != ControlKind::Label; }

}  // namespace norv::app
