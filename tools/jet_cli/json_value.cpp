#include "tools/jet_cli/json_value.h"

#include <cmath>
#include <string>

#include <fmt/format.h>

namespace norv::jet_cli {

namespace {

// "0.9000" -> "0.9": the digits that matter.
std::string without_trailing_zeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

// An exact decimal text as a JSON number when a double carries every one of
// its digits; otherwise the text itself, so that no digit is lost.
nlohmann::ordered_json exact_number(const std::string& text) {
  try {
    std::size_t used = 0;
    const double number = std::stod(text, &used);
    if (used == text.size() && fmt::format("{}", number) == without_trailing_zeros(text))
      return number;
  } catch (const std::exception&) {
  }
  return text;
}

nlohmann::ordered_json floating(double number) {
  if (std::isfinite(number)) return number;
  return jet::to_display_text(jet::Value(number));
}

}  // namespace

nlohmann::ordered_json to_json(const jet::Value& value) {
  return std::visit(
      [&](const auto& v) -> nlohmann::ordered_json {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, jet::Null>) return nullptr;
        else if constexpr (std::is_same_v<T, bool>) return v;
        else if constexpr (std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::int16_t> ||
                           std::is_same_v<T, std::int32_t>)
          return static_cast<std::int64_t>(v);
        else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>)
          return floating(static_cast<double>(v));
        else if constexpr (std::is_same_v<T, jet::Currency> || std::is_same_v<T, jet::Decimal>)
          return exact_number(jet::to_display_text(value));
        else if constexpr (std::is_same_v<T, std::string>) return v;
        else return jet::to_display_text(value);
      },
      value);
}

}  // namespace norv::jet_cli
