#include "data/text_values.h"

namespace norv::data {
namespace {

// Exactly `width` digits at text[pos]; advances pos.
std::optional<int> fixed_digits(std::string_view text, std::size_t& pos, std::size_t width) {
  if (pos + width > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    char c = text[pos + i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  pos += width;
  return value;
}

bool take(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned days_in_month(int year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

std::optional<double> time_fraction(std::string_view text, std::size_t& pos) {
  auto hour = fixed_digits(text, pos, 2);
  if (!hour || !take(text, pos, ':')) return std::nullopt;
  auto minute = fixed_digits(text, pos, 2);
  if (!minute) return std::nullopt;
  int second = 0;
  if (take(text, pos, ':')) {
    auto s = fixed_digits(text, pos, 2);
    if (!s) return std::nullopt;
    second = *s;
  }
  if (*hour > 23 || *minute > 59 || second > 59) return std::nullopt;
  return (*hour * 3600 + *minute * 60 + second) / 86400.0;
}

}  // namespace

long days_since_1899_12_30(int year, unsigned month, unsigned day) {
  // Days from 0000-03-01 of a calendar whose years start in March.
  long y = month <= 2 ? year - 1 : year;
  long era = (y >= 0 ? y : y - 399) / 400;
  long year_of_era = y - era * 400;
  long day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  long days_from_civil_epoch = era * 146097 + day_of_era - 719468;  // days since 1970-01-01
  return days_from_civil_epoch + 25569;                             // 1970-01-01 is 25569
}

std::optional<jet::DateTime> parse_iso_date_time(std::string_view text) {
  std::size_t pos = 0;
  auto year = fixed_digits(text, pos, 4);
  if (!year || !take(text, pos, '-')) return std::nullopt;
  auto month = fixed_digits(text, pos, 2);
  if (!month || !take(text, pos, '-')) return std::nullopt;
  auto day = fixed_digits(text, pos, 2);
  if (!day || *year < 100 || *month < 1 || *month > 12 || *day < 1 ||
      static_cast<unsigned>(*day) > days_in_month(*year, static_cast<unsigned>(*month)))
    return std::nullopt;
  double fraction = 0;
  if (take(text, pos, 'T') || take(text, pos, ' ')) {
    auto time = time_fraction(text, pos);
    if (!time) return std::nullopt;
    fraction = *time;
  }
  if (pos != text.size()) return std::nullopt;
  long days =
      days_since_1899_12_30(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day));
  // Before the epoch the fraction still counts forward from midnight.
  double serial = days >= 0 ? days + fraction : days - fraction;
  return jet::DateTime{serial};
}

}  // namespace norv::data
