#pragma once

// What --dry-run and --show report: every file a run tests, in the run's
// order, whether it is present, whether its control table is there, and
// the table's current Version values.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/path_mapper.h"
#include "stamping/stamping_context.h"

namespace norv::app::cli {

struct InspectedFile {
  std::string module;  // set by --show, empty in a dry run
  std::string path;    // the Windows path as the run builds it
  std::filesystem::path native;
  bool present = false;
  std::string table;  // the control table looked for (present files)
  bool table_found = false;
  std::vector<std::string> versions;
  std::string note;  // why the values could not be read
};

class InspectionObserver : public stamping::StampObserver {
 public:
  // Without `keep_absent` only present files are recorded, which spares
  // mapping the many absent company paths of a long loop.
  InspectionObserver(const platform::PathMapper& paths, bool keep_absent)
      : paths_(paths), keep_absent_(keep_absent) {}

  // Passed every event after this one has recorded it (progress display).
  void chain(stamping::StampObserver* next) { next_ = next; }
  void set_module(std::string module) { module_ = std::move(module); }

  void file_tested(const std::string& path, bool present) override;
  void table_looked_up(const std::string& path, const std::string& table, bool found,
                       data::Connection& connection) override;

  const std::vector<InspectedFile>& files() const { return files_; }

 private:
  const platform::PathMapper& paths_;
  bool keep_absent_;
  stamping::StampObserver* next_ = nullptr;
  std::string module_;
  std::vector<InspectedFile> files_;
};

// The Version values of every row of `table`, as text ("Null" for a Null).
// Throws norv::Error when the table or its Version column cannot be read.
std::vector<std::string> read_version_values(data::Connection& connection,
                                             const std::string& table);

}  // namespace norv::app::cli
