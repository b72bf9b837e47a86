#pragma once

// What the module updaters read from the window while they work, and the
// summary text they write into it.

#include <string>

namespace norv::stamping {

class UpdaterWindow {
 public:
  virtual ~UpdaterWindow() = default;

  // The Text of txtVersion, read afresh at every call.
  virtual std::string version_text() const = 0;

  // The Text of cmbYear: four digits, or empty while no year is chosen.
  virtual std::string year_text() const = 0;

  // The window's summary text.
  virtual std::string& strMsg() = 0;
};

}  // namespace norv::stamping
