#pragma once

// Numbers converted to the storage of a numeric column, as Jet converts
// them. Each function returns nullopt when the value lies outside the
// column's range; the caller turns that into an overflow error.

#include <cstdint>
#include <optional>
#include <string_view>

#include "jet/types/value.h"

namespace norv::data {

// Byte (0..255), Integer (16-bit) and Long (32-bit) after rounding half to
// even (platform/round_half_even.h).
std::optional<std::uint8_t> to_byte(double value);
std::optional<std::int16_t> to_integer(double value);
std::optional<std::int32_t> to_long(double value);

// The nearest Single.
std::optional<float> to_single(double value);

// A number's text as written (sql_number.h) scaled to 4 decimals exactly,
// half to even (jet/types/currency.h).
std::optional<jet::Currency> to_currency(std::string_view number_text);
jet::Currency to_currency(std::int32_t value);

// To the column's scale, further digits cut; nullopt when the integer part
// has more digits than precision - scale allow. A Double contributes its 15
// significant digits, as in its text form.
std::optional<jet::Decimal> to_decimal(double value, std::uint8_t precision, std::uint8_t scale);
std::optional<jet::Decimal> to_decimal(std::int32_t value, std::uint8_t precision,
                                       std::uint8_t scale);

// A date serial (days since 1899-12-30) within Jet's dates, 100-01-01 to
// 9999-12-31 23:59:59.
std::optional<jet::DateTime> to_date_time(double serial);

}  // namespace norv::data
