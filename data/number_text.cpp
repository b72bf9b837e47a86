#include "data/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "platform/error.h"

namespace norv::data {
namespace {

constexpr int kSignificantDigits = 15;

std::string exponent_text(int exponent) {
  std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return (exponent < 0 ? "E-" : "E+") + digits;
}

std::string layout(const SignificantDigits& d) {
  const std::string& s = d.digits;
  if (d.exponent < -4 || d.exponent >= kSignificantDigits) {
    std::string out(1, s[0]);
    if (s.size() > 1) out += '.' + s.substr(1);
    return out + exponent_text(d.exponent);
  }
  if (d.exponent < 0) return "0." + std::string(-d.exponent - 1, '0') + s;
  std::size_t integer_digits = static_cast<std::size_t>(d.exponent) + 1;
  if (s.size() <= integer_digits) return s + std::string(integer_digits - s.size(), '0');
  return s.substr(0, integer_digits) + '.' + s.substr(integer_digits);
}

}  // namespace

SignificantDigits significant_digits(double value) {
  // Scientific form with 14 digits after the point: "d.dddddddddddddde+XX".
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                 std::chars_format::scientific, kSignificantDigits - 1);
  std::string_view text(buffer, ec == std::errc{} ? static_cast<std::size_t>(end - buffer) : 0);
  std::size_t e = text.find('e');
  SignificantDigits result;
  for (char c : text.substr(0, e))
    if (c != '.') result.digits += c;
  while (result.digits.size() > 1 && result.digits.back() == '0') result.digits.pop_back();
  std::string_view exponent = text.substr(e + 1);
  if (!exponent.empty() && exponent[0] == '+') exponent.remove_prefix(1);
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), result.exponent);
  return result;
}

std::string number_to_text(double value) {
  if (!std::isfinite(value))
    throw InvalidArgumentError("an infinite or undefined number has no text form in a database");
  if (value == 0) return "0";
  std::string text = layout(significant_digits(value));
  return value < 0 ? '-' + text : text;
}

std::string number_to_text(std::int32_t value) { return std::to_string(value); }

}  // namespace norv::data
