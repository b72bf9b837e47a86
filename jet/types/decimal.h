#pragma once

// Arithmetic on jet::Decimal that the codecs and the display need: exact
// rescaling, digit counts, and conversion to and from decimal text. The
// magnitude is 128 bits in four 32-bit words, most significant first.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jet/types/value.h"

namespace norv::jet {

// `value` brought to `scale` exactly, or nullopt when that would drop a
// non-zero digit or overflow 128 bits.
std::optional<Decimal> rescale_decimal(const Decimal& value, std::uint8_t scale);

// Decimal digits of the magnitude, ignoring the scale (0 for zero).
int decimal_digit_count(const Decimal& value);

// "-12.3400": the magnitude's digits with `scale` of them after the point.
std::string decimal_to_string(const Decimal& value);

// Parses [-+]digits[.digits]; the scale is the number of digits after the
// point. Nullopt for anything else or a magnitude over 128 bits.
std::optional<Decimal> parse_decimal(std::string_view text);

}  // namespace norv::jet
