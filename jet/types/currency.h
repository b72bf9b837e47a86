#pragma once

// Currency amounts as text, both ways: the decimal text a statement or a
// description gives becomes the stored integer (value x 10 000) digit by
// digit, never through a double, whose 15 to 17 digits cannot carry the
// type's 19; and the stored integer becomes the shortest text again.

#include <string>
#include <string_view>

#include "jet/types/value.h"

namespace norv::jet {

enum class CurrencyTextOutcome {
  converted,
  not_a_number,
  out_of_range,  // beyond -922337203685477.5808 .. 922337203685477.5807
};

struct CurrencyFromText {
  CurrencyTextOutcome outcome = CurrencyTextOutcome::not_a_number;
  Currency value;  // when converted
};

// Reads [+-]digits[.digits][E[+-]digits] (digits on at least one side of
// the point, "e" as well as "E") exactly, rounded half to even at the fifth
// decimal (platform/round_half_even.h): 0.00005 is 0, 0.00015 is 0.0002,
// -0.00015 is -0.0002. The range is checked after rounding.
CurrencyFromText currency_from_text(std::string_view text);

// "-12.5": the stored amount without trailing zeros after the point.
std::string currency_to_text(Currency value);

}  // namespace norv::jet
