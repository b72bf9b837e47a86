#include "platform/wine_prefix.h"
#include "settings/registry.h"

namespace norv::settings {

// Without a Windows registry the suite's settings live in its Wine prefix.
std::unique_ptr<Registry> make_system_registry() {
  return make_wine_prefix_registry(platform::default_wine_prefix());
}

}  // namespace norv::settings
