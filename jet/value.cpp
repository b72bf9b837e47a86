#include "jet/value.h"

#include <fmt/format.h>

#include "jet/currency.h"
#include "jet/date_time_text.h"
#include "jet/decimal.h"

namespace norv::jet {

namespace {

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
  std::string operator()(const Currency& v) const { return currency_to_text(v); }
  std::string operator()(float v) const { return fmt::format("{}", v); }
  std::string operator()(double v) const { return fmt::format("{}", v); }
  std::string operator()(const DateTime& v) const { return ole_date_to_iso(v.serial); }
  std::string operator()(const std::string& v) const { return v; }
  std::string operator()(const Binary& v) const { return hex_text(v); }
  std::string operator()(const Guid& v) const { return guid_text(v); }
  std::string operator()(const Decimal& v) const { return decimal_to_string(v); }
};

}  // namespace

std::string to_display_text(const Value& v) { return std::visit(DisplayText{}, v); }

}  // namespace norv::jet
