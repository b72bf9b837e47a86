#pragma once

// A number as Windows' number-to-text conversion writes it when Jet stores
// a number in a Text or Memo column: at most 15 significant digits, no
// trailing zeros, "." as the decimal separator, E-notation ("1E+15",
// "1.5E-07") when the decimal exponent is 15 or more or below -4, and never
// a negative zero. The value must be finite (InvalidArgumentError).

#include <cstdint>
#include <string>

namespace norv::data {

std::string number_to_text(double value);
std::string number_to_text(std::int32_t value);

// The 15 significant decimal digits of a finite, non-zero |value|, correctly
// rounded, without trailing zeros, and the decimal exponent of the first
// digit: 1234.5 gives {"12345", 3}.
struct SignificantDigits {
  std::string digits;
  int exponent = 0;
};
SignificantDigits significant_digits(double value);

}  // namespace norv::data
