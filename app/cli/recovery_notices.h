#pragma once

// The databases a run found half updated by an interrupted update and put
// back as they were before it (the engine does so when it opens them), so
// that the user learns of it: one line each, printed after the run.

#include <ostream>
#include <string>

#include "stamping/stamping_context.h"

namespace norv::app::cli {

class RecoveryNotices : public stamping::StampObserver {
 public:
  // Passes every event on to `next` (may be null).
  void chain(stamping::StampObserver* next) { next_ = next; }

  void file_tested(const std::string& path, bool present) override;
  void table_looked_up(const std::string& path, const std::string& table, bool found,
                       data::Connection& connection) override;

  // "<path>: restored from an interrupted update", one line per database.
  void print(std::ostream& err) const { err << lines_; }

 private:
  stamping::StampObserver* next_ = nullptr;
  std::string lines_;
};

}  // namespace norv::app::cli
