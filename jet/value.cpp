#include "jet/value.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdlib>

#include "jet/decimal.h"

namespace norv::jet {

namespace {

// The dates Jet accepts: 100-01-01 .. 9999-12-31.
constexpr double first_serial = -657434.0;
constexpr double last_serial = 2958466.0;
constexpr std::int64_t serial_zero_in_unix_days = -25569;  // 1899-12-30
constexpr std::int64_t seconds_per_day = 86400;

struct CivilDate {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's
// algorithm).
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

std::string date_time_text(double serial) {
  if (!(serial >= first_serial && serial < last_serial)) return fmt::format("{}", serial);
  // The integer part counts days (backwards for negative dates); the
  // fraction is always a positive time of day.
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

std::string currency_text(std::int64_t scaled) {
  std::uint64_t magnitude = scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled)
                                       : static_cast<std::uint64_t>(scaled);
  std::string text = fmt::format("{}{}", scaled < 0 ? "-" : "", magnitude / 10000);
  std::uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    std::string digits = fmt::format("{:04}", fraction);
    digits.erase(digits.find_last_not_of('0') + 1);
    text += "." + digits;
  }
  return text;
}

std::string guid_text(const Guid& guid) {
  const auto& b = guid.bytes;
  return fmt::format(
      "{{{:02X}{:02X}{:02X}{:02X}-{:02X}{:02X}-{:02X}{:02X}-{:02X}{:02X}-"
      "{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}}}",
      b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
      b[14], b[15]);
}

std::string hex_text(const Binary& binary) {
  std::string text;
  text.reserve(binary.bytes.size() * 2);
  for (std::uint8_t b : binary.bytes) text += fmt::format("{:02X}", b);
  return text;
}

struct DisplayText {
  std::string operator()(const Null&) const { return "Null"; }
  std::string operator()(bool v) const { return v ? "true" : "false"; }
  std::string operator()(std::uint8_t v) const { return fmt::format("{}", unsigned{v}); }
  std::string operator()(std::int16_t v) const { return fmt::format("{}", v); }
  std::string operator()(std::int32_t v) const { return fmt::format("{}", v); }
  std::string operator()(const Currency& v) const { return currency_text(v.scaled); }
  std::string operator()(float v) const { return fmt::format("{}", v); }
  std::string operator()(double v) const { return fmt::format("{}", v); }
  std::string operator()(const DateTime& v) const { return date_time_text(v.serial); }
  std::string operator()(const std::string& v) const { return v; }
  std::string operator()(const Binary& v) const { return hex_text(v); }
  std::string operator()(const Guid& v) const { return guid_text(v); }
  std::string operator()(const Decimal& v) const { return decimal_to_string(v); }
};

}  // namespace

std::string to_display_text(const Value& v) { return std::visit(DisplayText{}, v); }

}  // namespace norv::jet
