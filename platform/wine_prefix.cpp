#include "platform/wine_prefix.h"

#include <cstdlib>

namespace norv::platform {

std::filesystem::path default_wine_prefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::filesystem::path(home) / ".wine";
  return {};
}

}  // namespace norv::platform
