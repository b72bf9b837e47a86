#include "data/numeric_conversion.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "data/number_text.h"
#include "jet/types/currency.h"
#include "platform/round_half_even.h"

namespace norv::data {
namespace {

template <typename Int>
std::optional<Int> to_integral(double value, double low, double high) {
  double rounded = platform::round_half_even(value);
  if (!(rounded >= low && rounded <= high)) return std::nullopt;
  return static_cast<Int>(rounded);
}

// A decimal digit string (no sign, no point) as Jet's 128-bit magnitude,
// most significant word first.
std::array<std::uint32_t, 4> magnitude_of(std::string_view digits) {
  std::array<std::uint32_t, 4> words{};
  for (char c : digits) {
    std::uint64_t carry = static_cast<std::uint64_t>(c - '0');
    for (int i = 3; i >= 0; --i) {
      std::uint64_t product = std::uint64_t{words[i]} * 10 + carry;
      words[i] = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
  }
  return words;
}

// digits x 10^shift, cut to an integer.
std::string shifted(std::string digits, int shift) {
  if (shift >= 0) return digits + std::string(static_cast<std::size_t>(shift), '0');
  std::size_t cut = static_cast<std::size_t>(-shift);
  return cut >= digits.size() ? std::string() : digits.substr(0, digits.size() - cut);
}

std::optional<jet::Decimal> decimal_from(bool negative, std::string scaled_digits,
                                         std::uint8_t precision, std::uint8_t scale) {
  std::size_t first = scaled_digits.find_first_not_of('0');
  scaled_digits = first == std::string::npos ? std::string() : scaled_digits.substr(first);
  // Jet's decimals hold at most 28 digits; a definition without a
  // precision is read as allowing them all.
  std::size_t allowed = precision == 0 ? 28 : precision;
  if (scaled_digits.size() > allowed) return std::nullopt;
  jet::Decimal decimal;
  decimal.negative = negative && !scaled_digits.empty();
  decimal.magnitude = magnitude_of(scaled_digits);
  decimal.scale = scale;
  return decimal;
}

}  // namespace

std::optional<std::uint8_t> to_byte(double value) {
  return to_integral<std::uint8_t>(value, 0, 255);
}
std::optional<std::int16_t> to_integer(double value) {
  return to_integral<std::int16_t>(value, -32768, 32767);
}
std::optional<std::int32_t> to_long(double value) {
  return to_integral<std::int32_t>(value, -2147483648.0, 2147483647.0);
}

std::optional<float> to_single(double value) {
  if (!(std::fabs(value) <= FLT_MAX)) return std::nullopt;
  return static_cast<float>(value);
}

std::optional<jet::Currency> to_currency(std::string_view number_text) {
  const jet::CurrencyFromText read = jet::currency_from_text(number_text);
  if (read.outcome != jet::CurrencyTextOutcome::converted) return std::nullopt;
  return read.value;
}

jet::Currency to_currency(std::int32_t value) { return {std::int64_t{value} * 10000}; }

std::optional<jet::Decimal> to_decimal(double value, std::uint8_t precision, std::uint8_t scale) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0) return decimal_from(false, "", precision, scale);
  SignificantDigits d = significant_digits(value);
  int shift = d.exponent - static_cast<int>(d.digits.size()) + 1 + scale;
  if (shift > 40) return std::nullopt;
  return decimal_from(value < 0, shifted(d.digits, shift), precision, scale);
}

std::optional<jet::Decimal> to_decimal(std::int32_t value, std::uint8_t precision,
                                       std::uint8_t scale) {
  std::string digits = std::to_string(value < 0 ? -std::int64_t{value} : std::int64_t{value});
  return decimal_from(value < 0, shifted(digits, scale), precision, scale);
}

std::optional<jet::DateTime> to_date_time(double serial) {
  // Before 1899-12-30 the integer part counts days back and the fraction is
  // still the time of day, so all of -657434.x is 100-01-01.
  constexpr double kBeforeFirstDay = -657435.0;  // 100-01-01 is -657434
  constexpr double kAfterLastDay = 2958466.0;    // 10000-01-01
  if (!(serial > kBeforeFirstDay && serial < kAfterLastDay)) return std::nullopt;
  return jet::DateTime{serial};
}

}  // namespace norv::data
