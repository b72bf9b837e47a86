#pragma once

#include <string>

#include "stamping/stamping_context.h"

namespace norv::stamping {

// Stamps DovrelControl in directory\Fendrel.mdb (no summary line), then
// Control in directory\Dovrel\Dovrel.mdb, appending " - Dovrel" CR LF to
// strMsg when that file is present. Errors pass unchanged.
void UpdateDovrelDatabases(const StampingContext& context, const std::string& directory);

}  // namespace norv::stamping
