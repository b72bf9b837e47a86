#pragma once

// What the stamping sequence and the module updaters work with during one
// run: the window they read the version and year texts from and write
// strMsg into, the mapping of Windows paths to native ones, and an optional
// observer. All must outlive the calls.

#include <string>

#include "platform/path_mapper.h"
#include "stamping/updater_window.h"

namespace norv::data {
class Connection;
}

namespace norv::stamping {

class FolderSnapshot;

// Told about each file as the sequence meets it, in the run's own order.
// Used by front ends that list, count or show progress; an update run needs
// none. The observer must not throw for the run to keep its semantics.
class StampObserver {
 public:
  virtual ~StampObserver() = default;

  // After the existence test of `path` (the Windows path as built).
  virtual void file_tested(const std::string& path, bool present) = 0;

  // After TableExists on a present file, before the statement would run.
  // `connection` is open on the file and may be read, not changed.
  virtual void table_looked_up(const std::string& path, const std::string& table, bool found,
                               data::Connection& connection) = 0;
};

struct StampingContext {
  UpdaterWindow& window;
  const platform::PathMapper& paths;
  StampObserver* observer = nullptr;
  // Look without changing: every file is tested and opened, its table
  // looked up and the statement checked as it would run, but none is
  // executed.
  bool dry_run = false;
  // Names known absent without asking the file system (the company loop).
  const FolderSnapshot* snapshot = nullptr;
};

}  // namespace norv::stamping
