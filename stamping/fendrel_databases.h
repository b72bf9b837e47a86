#pragma once

#include <string>

#include "stamping/stamping_context.h"

namespace norv::stamping {

// Stamps the Control tables of directory\Fendrel.mdb and of the yearly
// databases directory\<year>\I<year>.mdb, P, S and T, in that order, for the
// year text of the window. The directory is used as it is. The first
// present file's line replaces strMsg when it is Fendrel.mdb; each present
// yearly file appends " - <letter><year>" CR LF. Errors pass unchanged.
void UpdateFendrelDatabases(const StampingContext& context, const std::string& directory);

}  // namespace norv::stamping
