#include "jet/types/currency.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/round_half_even.h"

namespace norv::jet {

namespace {

constexpr int currency_decimals = 4;
constexpr std::uint64_t scale = 10000;
// The magnitude of the smallest amount; the largest is one less.
constexpr std::uint64_t negative_limit = std::uint64_t{1} << 63;
// Exponents beyond this give the same result as any larger one: all digits
// cut off, or an overflow. Clamping keeps the arithmetic in range.
constexpr long exponent_bound = 100000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as its digits (leading zeros dropped) and the power of
// ten of the last one: 12.5E3 is {"125", 2}.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  long exponent = 0;
};

std::string_view take_digits(std::string_view& text) {
  const auto end = std::find_if_not(text.begin(), text.end(), is_digit);
  const std::string_view digits(text.begin(), end);
  text.remove_prefix(digits.size());
  return digits;
}

std::optional<long> exponent_of(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] != 'e' && text[0] != 'E') return std::nullopt;
  text.remove_prefix(1);
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  const std::string_view digits = take_digits(text);
  if (digits.empty() || !text.empty()) return std::nullopt;
  long exponent = 0;
  for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), exponent_bound);
  return negative ? -exponent : exponent;
}

std::optional<DecimalDigits> split(std::string_view text) {
  DecimalDigits out;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    out.negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const std::string_view integer = take_digits(text);
  std::string_view fraction;
  if (!text.empty() && text[0] == '.') {
    text.remove_prefix(1);
    fraction = take_digits(text);
  }
  const std::optional<long> exponent = exponent_of(text);
  if ((integer.empty() && fraction.empty()) || !exponent) return std::nullopt;
  out.digits = std::string(integer) + std::string(fraction);
  out.digits.erase(0, std::min(out.digits.find_first_not_of('0'), out.digits.size()));
  out.exponent = *exponent - static_cast<long>(fraction.size());
  return out;
}

// magnitude * 10 + digit, or nullopt beyond negative_limit.
std::optional<std::uint64_t> append_digit(std::uint64_t magnitude, char digit) {
  const auto d = static_cast<std::uint64_t>(digit - '0');
  if (magnitude > (negative_limit - d) / 10) return std::nullopt;
  return magnitude * 10 + d;
}

// The number's magnitude x 10 000, rounded; nullopt beyond negative_limit.
std::optional<std::uint64_t> scaled_magnitude(const DecimalDigits& number) {
  const long shift = number.exponent + currency_decimals;
  const std::string_view digits = number.digits;
  const std::size_t cut = shift < 0 ? static_cast<std::size_t>(-shift) : 0;
  if (cut > digits.size()) return 0;  // below half of the last decimal
  const std::string_view kept = digits.substr(0, digits.size() - cut);
  if (!kept.empty() && shift > 0 && static_cast<long>(kept.size()) + shift > 20)
    return std::nullopt;
  std::optional<std::uint64_t> magnitude = 0;
  for (char c : kept)
    if (!(magnitude = append_digit(*magnitude, c))) return std::nullopt;
  for (long i = 0; i < shift && !kept.empty(); ++i)
    if (!(magnitude = append_digit(*magnitude, '0'))) return std::nullopt;
  if (platform::half_even_rounds_up(*magnitude % 2 != 0, digits.substr(kept.size())))
    return *magnitude == negative_limit ? std::nullopt : std::optional(*magnitude + 1);
  return magnitude;
}

}  // namespace

CurrencyFromText currency_from_text(std::string_view text) {
  const std::optional<DecimalDigits> number = split(text);
  if (!number) return {CurrencyTextOutcome::not_a_number, {}};
  const std::optional<std::uint64_t> magnitude = scaled_magnitude(*number);
  const std::uint64_t limit = number->negative ? negative_limit : negative_limit - 1;
  if (!magnitude || *magnitude > limit) return {CurrencyTextOutcome::out_of_range, {}};
  // Unsigned negation wraps to the two's complement the amount is stored in.
  const std::uint64_t stored = number->negative ? 0 - *magnitude : *magnitude;
  return {CurrencyTextOutcome::converted, Currency{static_cast<std::int64_t>(stored)}};
}

std::string currency_to_text(Currency value) {
  const std::int64_t scaled = value.scaled;
  const std::uint64_t magnitude = scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled)
                                             : static_cast<std::uint64_t>(scaled);
  std::string text = fmt::format("{}{}", scaled < 0 ? "-" : "", magnitude / scale);
  const std::uint64_t fraction = magnitude % scale;
  if (fraction != 0) {
    std::string digits = fmt::format("{:0{}}", fraction, currency_decimals);
    digits.erase(digits.find_last_not_of('0') + 1);
    text += "." + digits;
  }
  return text;
}

}  // namespace norv::jet
