#pragma once

#include <filesystem>

namespace norv::platform {

// The Wine prefix the suite lives in when it runs under Wine: $WINEPREFIX,
// or ~/.wine when that is unset or empty, as Wine itself chooses. Empty
// when no home folder is known either.
std::filesystem::path default_wine_prefix();

}  // namespace norv::platform
