#include "jet/types/decimal.h"

#include <algorithm>

namespace norv::jet {

namespace {

using Words = std::array<std::uint32_t, 4>;  // most significant first

bool is_zero(const Words& w) {
  return std::all_of(w.begin(), w.end(), [](std::uint32_t x) { return x == 0; });
}

// w = w * 10 + add; false on overflow.
bool multiply_add(Words& w, std::uint32_t add) {
  std::uint64_t carry = add;
  for (int i = 3; i >= 0; --i) {
    std::uint64_t product = static_cast<std::uint64_t>(w[i]) * 10 + carry;
    w[i] = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  return carry == 0;
}

// w = w / 10; returns the remainder.
std::uint32_t divide_by_ten(Words& w) {
  std::uint64_t remainder = 0;
  for (auto& word : w) {
    std::uint64_t current = remainder << 32 | word;
    word = static_cast<std::uint32_t>(current / 10);
    remainder = current % 10;
  }
  return static_cast<std::uint32_t>(remainder);
}

std::string magnitude_digits(Words w) {
  std::string digits;
  while (!is_zero(w)) digits.push_back(static_cast<char>('0' + divide_by_ten(w)));
  std::reverse(digits.begin(), digits.end());
  return digits;
}

}  // namespace

std::optional<Decimal> rescale_decimal(const Decimal& value, std::uint8_t scale) {
  Decimal out = value;
  while (out.scale < scale) {
    if (!multiply_add(out.magnitude, 0)) return std::nullopt;
    ++out.scale;
  }
  while (out.scale > scale) {
    Words quotient = out.magnitude;
    if (divide_by_ten(quotient) != 0) return std::nullopt;
    out.magnitude = quotient;
    --out.scale;
  }
  return out;
}

int decimal_digit_count(const Decimal& value) {
  return static_cast<int>(magnitude_digits(value.magnitude).size());
}

std::string decimal_to_string(const Decimal& value) {
  std::string digits = magnitude_digits(value.magnitude);
  if (digits.size() <= value.scale) digits.insert(0, value.scale + 1 - digits.size(), '0');
  if (value.scale > 0) digits.insert(digits.size() - value.scale, 1, '.');
  if (value.negative && !is_zero(value.magnitude)) digits.insert(0, 1, '-');
  return digits;
}

std::optional<Decimal> parse_decimal(std::string_view text) {
  Decimal out;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    out.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  bool seen_point = false;
  bool seen_digit = false;
  for (char c : text) {
    if (c == '.' && !seen_point) {
      seen_point = true;
    } else if (c >= '0' && c <= '9') {
      if (!multiply_add(out.magnitude, static_cast<std::uint32_t>(c - '0'))) return std::nullopt;
      if (seen_point) {
        if (out.scale == 255) return std::nullopt;
        ++out.scale;
      }
      seen_digit = true;
    } else {
      return std::nullopt;
    }
  }
  if (!seen_digit) return std::nullopt;
  if (is_zero(out.magnitude)) out.negative = false;
  return out;
}

}  // namespace norv::jet
