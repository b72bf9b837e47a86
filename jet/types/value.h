#pragma once

// One value of any Jet column type, as the engine reads and writes it.
// Text is UTF-8 here whatever the file's encoding; the codecs convert.

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace norv::jet {

struct Null {
  bool operator==(const Null&) const = default;
};

// Currency: the stored integer, value x 10 000.
struct Currency {
  std::int64_t scaled = 0;
  bool operator==(const Currency&) const = default;
};

// Date/Time: an OLE date, days since 1899-12-30, fraction = time of day.
struct DateTime {
  double serial = 0;
  bool operator==(const DateTime&) const = default;
};

// GUID bytes in the file's order (first three groups little-endian).
struct Guid {
  std::array<std::uint8_t, 16> bytes{};
  bool operator==(const Guid&) const = default;
};

// Decimal: sign, 96..128-bit magnitude, and the column's scale.
struct Decimal {
  bool negative = false;
  std::array<std::uint32_t, 4> magnitude{};  // most significant word first
  std::uint8_t scale = 0;
  bool operator==(const Decimal&) const = default;
};

struct Binary {
  std::vector<std::uint8_t> bytes;
  bool operator==(const Binary&) const = default;
};

using Value = std::variant<Null, bool, std::uint8_t, std::int16_t, std::int32_t, Currency, float,
                           double, DateTime, std::string, Binary, Guid, Decimal>;

inline bool is_null(const Value& v) { return std::holds_alternative<Null>(v); }

// Text for people and for JSON: numbers in shortest round-trip form, dates in
// ISO 8601, GUIDs as {XXXXXXXX-XXXX-...}, binary as hex.
std::string to_display_text(const Value& v);

}  // namespace norv::jet
