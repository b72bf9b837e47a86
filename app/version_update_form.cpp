#include "app/version_update_form.h"

#include <chrono>
#include <ctime>
#include <utility>

namespace norv::app {

VersionUpdateForm::VersionUpdateForm(UpdateCommand update_command)
    : update_command_(std::move(update_command)) {}

std::string& VersionUpdateForm::strMsg() { return str_msg_; }

// The current year and the five before it, newest first, the date read
// afresh for each entry; none chosen.
void VersionUpdateForm::Form_Load() {
  for (int n = 0; n < kYearsListed; ++n) add_year(std::to_string(current_year() - n));
}

// Brenvik and the year are not consulted here.
void VersionUpdateForm::Form_Activate() {
  set_enabled(ControlId::cmdUpdate, fendrel_ticked() || dovrel_ticked());
}

// Ticking Fendrel always disables the button, even with a year chosen: a
// year must be chosen next, and choosing it enables the button again.
void VersionUpdateForm::chkFendrel_Click() {
  set_enabled(ControlId::cmbYear, fendrel_ticked());
  set_enabled(ControlId::cmdUpdate, !fendrel_ticked() && (dovrel_ticked() || brenvik_ticked()));
}

// The Dovrel and Brenvik rules ignore the year; the update command asks for
// it when Fendrel is ticked.
void VersionUpdateForm::chkDovrel_Click() {
  set_enabled(ControlId::cmdUpdate, any_module_ticked());
}

void VersionUpdateForm::chkBrenvik_Click() {
  set_enabled(ControlId::cmdUpdate, any_module_ticked());
}

void VersionUpdateForm::cmbYear_Click() {
  set_enabled(ControlId::cmdUpdate, year_list_index() >= 0 && any_module_ticked());
}

void VersionUpdateForm::cmdUpdate_Click() { update_command_(*this); }

void VersionUpdateForm::Command1_Click() { unload(); }

bool VersionUpdateForm::any_module_ticked() const {
  return fendrel_ticked() || dovrel_ticked() || brenvik_ticked();
}

int current_year() {
  const std::time_t now = std::time(nullptr);
  // The window's single thread is the only caller of the C library's clock.
  if (const std::tm* local = std::localtime(&now)) return local->tm_year + 1900;
  // A clock the C library cannot convert: the date in UTC.
  const std::chrono::year_month_day today(
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
  return static_cast<int>(today.year());
}

}  // namespace norv::app
