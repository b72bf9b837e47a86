#pragma once

// Where a command-line run finds the installation: this platform's registry
// (on Linux the Wine prefix of $WINEPREFIX, or ~/.wine), another Wine
// prefix, a registry file, or an installation directory given outright.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/update_command.h"

namespace norv::app::cli {

struct InstallationOptions {
  std::optional<std::filesystem::path> wine_prefix;
  std::optional<std::filesystem::path> registry_file;
  std::optional<std::string> install_dir;
};

class InstallationSource {
 public:
  // Throws norv::Error when a named prefix or file cannot be used.
  explicit InstallationSource(const InstallationOptions& options);

  InstallationServices services() const { return {*registry_, *profile_, *paths_}; }
  const platform::PathMapper& paths() const { return *paths_; }

  // Where the installation directory comes from, for people.
  const std::string& description() const { return description_; }
  // False when the directory was given outright (--install-dir).
  bool from_registry() const { return from_registry_; }

  // Why the installation's NORV.INI reads as missing though something is
  // there (a folder, a pipe, a file too large): "<path> (<native path>)
  // reads as missing: <why>"; empty otherwise. A run goes on as the
  // settings say; the command line tells the user.
  std::string settings_file_problem() const;

 private:
  std::unique_ptr<platform::PathMapper> paths_;
  std::unique_ptr<settings::Registry> registry_;
  std::unique_ptr<settings::PrivateProfile> profile_;
  std::string description_;
  bool from_registry_ = true;
};

}  // namespace norv::app::cli
