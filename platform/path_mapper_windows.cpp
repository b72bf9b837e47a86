// On Windows the paths the registry and the settings file give are native
// already; only the text's encoding changes (the program's text is UTF-8).

#include <string>

#include "platform/error.h"
#include "platform/path_mapper.h"
#include "platform/path_text.h"

namespace norv::platform {

namespace {

class IdentityPathMapper final : public PathMapper {
 public:
  std::filesystem::path to_native(std::string_view windows_path) const override {
    return path_from_utf8(windows_path);
  }
};

}  // namespace

std::unique_ptr<PathMapper> make_default_path_mapper() {
  return std::make_unique<IdentityPathMapper>();
}

std::unique_ptr<PathMapper> make_wine_path_mapper(const std::filesystem::path& prefix) {
  throw NotSupportedError(prefix.string() +
                          ": Wine prefixes are only used on Linux; on Windows paths are "
                          "used as they are");
}

}  // namespace norv::platform
