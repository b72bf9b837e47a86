#pragma once

// The window of a command-line run: the boxes ticked by options, the year
// and the version text as given, the summary text, and what the update
// command did to the window (focus moved, unloaded).

#include <string>

#include "app/version_update_window.h"

namespace norv::app::cli {

class CommandLineWindow : public VersionUpdateWindow {
 public:
  bool fendrel = false;
  bool dovrel = false;
  bool brenvik = false;
  std::string year;
  std::string version = "1.0";

  std::string version_text() const override { return version; }
  std::string year_text() const override { return year; }
  std::string& strMsg() override { return summary_; }
  bool fendrel_ticked() const override { return fendrel; }
  bool dovrel_ticked() const override { return dovrel; }
  bool brenvik_ticked() const override { return brenvik; }
  void focus_year_list() override {}
  void unload() override { unloaded_ = true; }

  bool unloaded() const { return unloaded_; }

 private:
  std::string summary_;
  bool unloaded_ = false;
};

}  // namespace norv::app::cli
