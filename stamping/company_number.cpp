#include "stamping/company_number.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <type_traits>

#include "platform/error.h"
#include "platform/round_half_even.h"

namespace norv::stamping {

namespace {

[[noreturn]] void throw_not_a_number(const std::string& what, const std::string& path) {
  throw InvalidArgumentError(fmt::format(
      "Type mismatch: the highest company number in {} ({}) is not a number; correct the "
      "CompanyNo column of its Company table and run again.",
      path, what));
}

// Text as CInt reads a plain number: blanks around it, an optional sign,
// digits with an optional fraction; the same in every locale.
long double number_from_text(const std::string& text, const std::string& path) {
  std::size_t begin = text.find_first_not_of(" \t");
  std::size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) throw_not_a_number("'" + text + "'", path);
  const char* first = text.data() + begin;
  const char* last = text.data() + end + 1;
  bool negative = *first == '-';
  if (*first == '-' || *first == '+') ++first;
  double number = 0;
  auto [stop, error] = std::from_chars(first, last, number, std::chars_format::fixed);
  if (first == last || *first == '-' || *first == '+' || error != std::errc() || stop != last) {
    throw_not_a_number("'" + text + "'", path);
  }
  return negative ? -number : number;
}

long double number_from_decimal(const jet::Decimal& decimal) {
  long double magnitude = 0;
  for (std::uint32_t word : decimal.magnitude) magnitude = magnitude * 4294967296.0L + word;
  magnitude /= std::pow(10.0L, decimal.scale);
  return decimal.negative ? -magnitude : magnitude;
}

// Every alternative as the number CInt would start from.
long double number_from(const jet::Value& value, const std::string& path) {
  return std::visit(
      [&](const auto& v) -> long double {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          return v ? -1 : 0;
        } else if constexpr (std::is_arithmetic_v<T>) {
          return static_cast<long double>(v);
        } else if constexpr (std::is_same_v<T, jet::Currency>) {
          return static_cast<long double>(v.scaled) / 10000;
        } else if constexpr (std::is_same_v<T, jet::DateTime>) {
          return v.serial;
        } else if constexpr (std::is_same_v<T, jet::Decimal>) {
          return number_from_decimal(v);
        } else if constexpr (std::is_same_v<T, std::string>) {
          return number_from_text(v, path);
        } else {
          throw_not_a_number("binary data", path);
        }
      },
      value);
}

}  // namespace

std::optional<std::int16_t> company_number_from(const jet::Value& value, const std::string& path) {
  if (jet::is_null(value)) return std::nullopt;
  long double number = number_from(value, path);
  long double rounded = std::isfinite(number) ? platform::round_half_even(number) : number;
  if (!(rounded >= -32768 && rounded <= 32767)) {
    throw OverflowError(fmt::format(
        "Overflow: the highest company number in {} is {}, outside the range -32768 to 32767 "
        "of company numbers; correct the CompanyNo column of its Company table and run again.",
        path, static_cast<double>(number)));
  }
  return static_cast<std::int16_t>(rounded);
}

std::string company_database_name(std::int16_t number) {
  return fmt::format("BV{:04d}.mdb", number);
}

}  // namespace norv::stamping
