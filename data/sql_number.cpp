#include "data/sql_number.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "platform/error.h"

namespace norv::data {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t count_digits(std::string_view text, std::size_t pos) {
  std::size_t n = 0;
  while (pos + n < text.size() && is_digit(text[pos + n])) ++n;
  return n;
}

bool is_plain_integer(std::string_view digits) {
  return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::int32_t> as_long(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  if (!is_plain_integer(digits)) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::int64_t{1} << 31) return std::nullopt;
  }
  if (text[0] == '-') value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// True when the digits before any exponent are all zeros: such a number
// reads as 0 however small its exponent.
bool mantissa_is_zero(std::string_view unsigned_text) {
  for (char c : unsigned_text) {
    if (c == 'e' || c == 'E') break;
    if (is_digit(c) && c != '0') return false;
  }
  return true;
}

// The decimal exponent of the first significant digit, to tell overflow
// from underflow when from_chars reports a value out of range.
long magnitude_exponent(std::string_view unsigned_text) {
  std::size_t e = unsigned_text.find_first_of("eE");
  std::string_view mantissa = unsigned_text.substr(0, e);
  long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view exp_text = unsigned_text.substr(e + 1);
    bool negative = !exp_text.empty() && exp_text[0] == '-';
    if (!exp_text.empty() && (exp_text[0] == '+' || exp_text[0] == '-')) exp_text.remove_prefix(1);
    for (char c : exp_text) exponent = std::min(exponent * 10 + (c - '0'), 100000L);
    if (negative) exponent = -exponent;
  }
  std::size_t point = mantissa.find('.');
  std::size_t first = mantissa.find_first_of("123456789");
  if (point == std::string_view::npos) point = mantissa.size();
  long position =
      first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
  return exponent + position;
}

}  // namespace

std::size_t scan_number(std::string_view text) {
  std::size_t integer = count_digits(text, 0);
  std::size_t pos = integer;
  if (pos < text.size() && text[pos] == '.') {
    std::size_t fraction = count_digits(text, pos + 1);
    if (integer == 0 && fraction == 0) return 0;
    pos += 1 + fraction;
  }
  if (pos == 0) return 0;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t exp = pos + 1;
    if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
    std::size_t digits = count_digits(text, exp);
    if (digits > 0) pos = exp + digits;
  }
  return pos;
}

std::optional<NumberLiteral> read_number(std::string_view text) {
  std::string_view unsigned_text = text;
  if (!unsigned_text.empty() && (unsigned_text[0] == '+' || unsigned_text[0] == '-'))
    unsigned_text.remove_prefix(1);
  if (unsigned_text.empty() || scan_number(unsigned_text) != unsigned_text.size())
    return std::nullopt;

  NumberLiteral number{0, as_long(text), std::string(text)};
  if (number.long_value) {
    number.value = *number.long_value;
    return number;
  }
  std::string digits(unsigned_text);
  if (digits[0] == '.') digits.insert(0, 1, '0');  // from_chars wants a leading digit
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number.value);
  if (ec == std::errc::result_out_of_range) {
    if (!mantissa_is_zero(unsigned_text) && magnitude_exponent(unsigned_text) > 0)
      throw OverflowError("the number " + excerpt(text) +
                          " is too large: a Jet number ends at about 1.8E+308");
    number.value = 0;
  } else if (ec != std::errc{} || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  if (text[0] == '-') number.value = -number.value;
  return number;
}

}  // namespace norv::data
