#include "jet/types/value.h"

#include <fmt/format.h>

#include "jet/types/currency.h"
#include "jet/types/date_time_text.h"
#include "jet/types/decimal.h"
#include "jet/types/guid_text.h"

namespace norv::jet {

namespace {

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
