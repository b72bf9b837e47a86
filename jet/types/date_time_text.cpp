#include "jet/types/date_time_text.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <cstdint>

namespace norv::jet {

namespace {

constexpr double first_serial = -657434.0;  // 100-01-01
constexpr double last_serial = 2958466.0;   // 10000-01-01
constexpr std::int64_t serial_zero_in_unix_days = -25569;  // 1899-12-30
constexpr std::int64_t seconds_per_day = 86400;

struct CivilDate {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1970-01-01 to a proleptic Gregorian date and back
// (H. Hinnant's algorithms).
CivilDate civil_from_days(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Reads exactly `width` digits at `pos`.
std::optional<unsigned> digits(std::string_view text, std::size_t pos, std::size_t width) {
  if (pos + width > text.size()) return std::nullopt;
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data() + pos, text.data() + pos + width, value);
  if (error != std::errc{} || end != text.data() + pos + width) return std::nullopt;
  return value;
}

}  // namespace

std::string ole_date_to_iso(double serial) {
  if (!(serial >= first_serial && serial < last_serial)) return fmt::format("{}", serial);
  double whole_days = std::trunc(serial);
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(serial - whole_days) * seconds_per_day));
  auto days = static_cast<std::int64_t>(whole_days);
  if (seconds >= seconds_per_day) {
    seconds -= seconds_per_day;
    days += 1;
  }
  CivilDate date = civil_from_days(days + serial_zero_in_unix_days);
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", date.year, date.month, date.day,
                     seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::optional<double> iso_to_ole_date(std::string_view text) {
  auto year = digits(text, 0, 4);
  auto month = digits(text, 5, 2);
  auto day = digits(text, 8, 2);
  if (!year || !month || !day || text[4] != '-' || text[7] != '-') return std::nullopt;
  if (*year < 100 || *month < 1 || *month > 12 || *day < 1) return std::nullopt;
  std::int64_t days = days_from_civil(*year, *month, *day);
  if (civil_from_days(days).day != *day) return std::nullopt;  // 31 April and the like
  unsigned h = 0, m = 0, s = 0;
  if (text.size() != 10) {
    auto hour = digits(text, 11, 2);
    auto minute = digits(text, 14, 2);
    auto second = digits(text, 17, 2);
    if (text.size() != 19 || (text[10] != 'T' && text[10] != ' ') || text[13] != ':' ||
        text[16] != ':' || !hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59)
      return std::nullopt;
    h = *hour;
    m = *minute;
    s = *second;
  }
  double serial_day = static_cast<double>(days - serial_zero_in_unix_days);
  double fraction = (h * 3600.0 + m * 60.0 + s) / seconds_per_day;
  // Before 1899-12-30 the day counts back but the time of day still adds.
  return serial_day < 0 ? serial_day - fraction : serial_day + fraction;
}

}  // namespace norv::jet
