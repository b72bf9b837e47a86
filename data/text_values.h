#pragma once

// Text in quotes read as a value of a Date/Time or GUID column. Jet reads
// dates in the forms of the machine's locale; this tool reads the one form
// that means the same everywhere, ISO 8601: "2001-02-03", "2001-02-03
// 04:05", "2001-02-03T04:05:06". A GUID is read in its braced form,
// "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", braces optional.

#include <optional>
#include <string_view>

#include "jet/value.h"

namespace norv::data {

std::optional<jet::DateTime> parse_iso_date_time(std::string_view text);
std::optional<jet::Guid> parse_guid(std::string_view text);

// Days from 1899-12-30 to a date of the proleptic Gregorian calendar.
long days_since_1899_12_30(int year, unsigned month, unsigned day);

}  // namespace norv::data
