#pragma once

// Rounding as Jet and the suite's own conversions (CInt, CLng, CCur) round:
// to the nearest integer, a half to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). One definition for every precision a caller works in: the
// access layer's doubles and the long doubles in which a company number
// keeps a Decimal's digits.

#include <cmath>
#include <concepts>
#include <string_view>

namespace norv::platform {

// Infinities and not-a-number come back as they are, for the caller's range
// check to refuse.
template <std::floating_point Number>
Number round_half_even(Number value) {
  const Number floor = std::floor(value);
  const Number fraction = value - floor;
  if (fraction > Number(0.5)) return floor + 1;
  if (fraction < Number(0.5)) return floor;
  return std::fmod(floor, Number(2)) == 0 ? floor : floor + 1;
}

// The same rule for a number kept as decimal digits and cut after some of
// them: whether the kept magnitude goes up by one, given whether it is odd
// and the digits cut off ("5" exactly is a half, "50001" more than one).
inline bool half_even_rounds_up(bool kept_is_odd, std::string_view dropped_digits) {
  if (dropped_digits.empty() || dropped_digits[0] < '5') return false;
  if (dropped_digits[0] > '5') return true;
  const bool more_than_half = dropped_digits.find_first_not_of('0', 1) != std::string_view::npos;
  return more_than_half || kept_is_odd;
}

}  // namespace norv::platform
