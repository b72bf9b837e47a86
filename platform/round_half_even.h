#pragma once

// Rounding as Jet and the suite's own conversions (CInt, CLng, CCur) round:
// to the nearest integer, a half to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). One definition for every precision a caller works in: the
// access layer's doubles and the long doubles in which a company number
// keeps a Decimal's digits.

#include <cmath>
#include <concepts>

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

}  // namespace norv::platform
