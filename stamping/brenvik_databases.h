#pragma once

#include <string>

#include "stamping/stamping_context.h"

namespace norv::stamping {

// The query that yields the highest company number.
inline constexpr const char* kHighestCompanyQuery = "SELECT MAX(CompanyNo) FROM Company";

// When directory\Company.mdb is present: stamps its Control table, reads
// the highest company number on the same connection, stamps
// directory\BV0000.mdb up to that number (none for a negative number or an
// empty Company table), and appends " - Brenvik" to strMsg. When it is
// absent nothing happens. Errors pass unchanged; " - Brenvik" is appended
// only after the last file.
void UpdateBrenvikDatabases(const StampingContext& context, const std::string& directory);

}  // namespace norv::stamping
