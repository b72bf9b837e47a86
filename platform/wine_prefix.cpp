#include "platform/wine_prefix.h"

#include <cstdlib>

#if !defined(_WIN32)
#include <pwd.h>
#include <unistd.h>
#endif

namespace norv::platform {

std::filesystem::path default_wine_prefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::filesystem::path(home) / ".wine";
#if !defined(_WIN32)
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
    return std::filesystem::path(user->pw_dir) / ".wine";
#endif
  return {};
}

}  // namespace norv::platform
