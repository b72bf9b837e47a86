#pragma once

// Windows paths, as the registry and the settings file give them, become
// paths of the machine the tool runs on only where a file is tested or
// opened. On Windows that is the identity; elsewhere drive letters resolve
// through a Wine prefix's dosdevices and each component is looked up
// without regard to case, as Wine does.

#include <filesystem>
#include <memory>
#include <string_view>

namespace norv::platform {

class PathMapper {
 public:
  virtual ~PathMapper() = default;
  virtual std::filesystem::path to_native(std::string_view windows_path) const = 0;
};

// The mapper of this platform: identity on Windows; elsewhere the Wine prefix
// named by $WINEPREFIX, or ~/.wine.
std::unique_ptr<PathMapper> make_default_path_mapper();

// The mapper for a given Wine prefix (not on Windows).
std::unique_ptr<PathMapper> make_wine_path_mapper(const std::filesystem::path& prefix);

// The file-existence test of the stamping sequence: an ordinary file of
// exactly this path; not a directory, not hidden (a dot name here, the hidden
// or system attribute on Windows), no wildcards.
bool is_ordinary_file(const std::filesystem::path& native_path);

}  // namespace norv::platform
