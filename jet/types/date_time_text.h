#pragma once

// OLE dates (days since 1899-12-30, the fraction a time of day) as ISO 8601
// text and back. For dates before 1899-12-30 the integer part counts days
// backwards while the fraction stays a positive time of day, as Jet stores
// them.

#include <optional>
#include <string>
#include <string_view>

namespace norv::jet {

// "YYYY-MM-DDTHH:MM:SS", rounded to the second; a serial outside the years
// 100..9999 comes back as the plain number.
std::string ole_date_to_iso(double serial);

// Parses "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM:SS" (a blank may replace the T)
// in the years 100..9999; nullopt for anything else or an impossible date.
std::optional<double> iso_to_ole_date(std::string_view text);

}  // namespace norv::jet
