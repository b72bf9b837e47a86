#include "app/cli/installation_source.h"

#include <cstdlib>
#include <system_error>

#include "app/installation_settings.h"
#include "platform/error.h"
#include "platform/path_text.h"
#include "platform/wine_prefix.h"

namespace norv::app::cli {

namespace {

// --install-dir: answers every query with the directory, as if the
// registry held it.
class GivenInstallDir : public settings::Registry {
 public:
  explicit GivenInstallDir(std::string directory) : directory_(std::move(directory)) {}
  std::optional<RawValue> query(std::int32_t, const std::string&,
                                const std::string&) const override {
    return RawValue{1, directory_};
  }

 private:
  std::string directory_;
};

// A path the user named that is not there is a mistake to point out, not
// an installation that is missing.
void require_existing(const std::filesystem::path& path, bool folder, const char* option) {
  std::error_code error;
  if (folder ? std::filesystem::is_directory(path, error)
             : std::filesystem::is_regular_file(path, error))
    return;
  throw IoError(excerpt(path.string()) + ": no such " + (folder ? "folder" : "file") + " (given to " +
                option + "); check the path and run again");
}

std::unique_ptr<platform::PathMapper> make_paths(const InstallationOptions& options) {
#ifdef _WIN32
  if (options.wine_prefix) throw InvalidArgumentError("--wine-prefix is not available on Windows.");
  return platform::make_default_path_mapper();
#else
  return options.wine_prefix ? platform::make_wine_path_mapper(*options.wine_prefix)
                             : platform::make_default_path_mapper();
#endif
}

}  // namespace

InstallationSource::InstallationSource(const InstallationOptions& options)
    : paths_(make_paths(options)) {
  if (options.wine_prefix) require_existing(*options.wine_prefix, true, "--wine-prefix");
  if (options.registry_file) require_existing(*options.registry_file, false, "--registry-file");
  if (options.install_dir) {
    registry_ = std::make_unique<GivenInstallDir>(*options.install_dir);
    description_ = "--install-dir";
    from_registry_ = false;
  } else if (options.registry_file) {
    registry_ = settings::make_registry_file(*options.registry_file);
    description_ = "the registry file " + options.registry_file->string();
  } else if (options.wine_prefix) {
    registry_ = settings::make_wine_prefix_registry(*options.wine_prefix);
    description_ = "the registry of the Wine prefix " + options.wine_prefix->string();
  } else {
    registry_ = settings::make_system_registry();
#ifdef _WIN32
    description_ = "the registry of this machine";
#else
    description_ = "the registry of the Wine prefix " + platform::default_wine_prefix().string();
#endif
  }
  profile_ = settings::make_private_profile(*paths_);
}

std::string InstallationSource::settings_file_problem() const {
  std::string directory;
  try {
    directory = read_installation_directory(*registry_);
  } catch (const std::exception&) {
    return {};  // the run itself reports why the registry cannot be read
  }
  if (directory.empty()) return {};
  const std::string file = settings_file_path(directory);
  const std::string why = profile_->unusable_reason(file);
  if (why.empty()) return {};
  const std::string native = platform::utf8_of(paths_->to_native(file));
  return file + (native == file ? "" : " (" + native + ")") + " reads as missing: " + why;
}

}  // namespace norv::app::cli
