#pragma once

// Text in quotes read as a value of a Date/Time column. Jet reads dates in
// the forms of the machine's locale; this tool reads the one form that
// means the same everywhere, ISO 8601: "2001-02-03", "2001-02-03 04:05",
// "2001-02-03T04:05:06". (A GUID's text is jet/types/guid_text.h.)

#include <optional>
#include <string_view>

#include "jet/types/value.h"

namespace norv::data {

std::optional<jet::DateTime> parse_iso_date_time(std::string_view text);

// Days from 1899-12-30 to a date of the proleptic Gregorian calendar.
long days_since_1899_12_30(int year, unsigned month, unsigned day);

}  // namespace norv::data
