#include "jet/format/value_codec.h"

#include <fmt/format.h>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"
#include "jet/format/format.h"
#include "jet/types/decimal.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t decimal_size = 17;

template <typename T>
constexpr std::string_view alternative_name() {
  if constexpr (std::is_same_v<T, Null>) return "Null";
  if constexpr (std::is_same_v<T, bool>) return "a Yes/No value";
  if constexpr (std::is_same_v<T, std::uint8_t>) return "a Byte";
  if constexpr (std::is_same_v<T, std::int16_t>) return "an Integer";
  if constexpr (std::is_same_v<T, std::int32_t>) return "a Long";
  if constexpr (std::is_same_v<T, Currency>) return "a Currency value";
  if constexpr (std::is_same_v<T, float>) return "a Single";
  if constexpr (std::is_same_v<T, double>) return "a Double";
  if constexpr (std::is_same_v<T, DateTime>) return "a Date/Time value";
  if constexpr (std::is_same_v<T, std::string>) return "a text";
  if constexpr (std::is_same_v<T, Binary>) return "binary data";
  if constexpr (std::is_same_v<T, Guid>) return "a GUID";
  if constexpr (std::is_same_v<T, Decimal>) return "a Decimal";
  return "a value";
}

std::string column_label(const ColumnDef& column) {
  return fmt::format("column {} ({})", column.name, column_type_name(column.type()));
}

template <typename T>
const T& expect(const ColumnDef& column, const Value& value) {
  if (const T* held = std::get_if<T>(&value)) return *held;
  throw InvalidArgumentError(fmt::format("{} cannot hold {}; it needs {}",
                                         column_label(column), value_kind(value),
                                         alternative_name<T>()));
}

std::vector<std::uint8_t> bytes_of_size(std::size_t n) { return std::vector<std::uint8_t>(n); }

std::vector<std::uint8_t> encode_text(const ColumnDef& column, const std::string& value,
                                      const TextCodec& text) {
  std::size_t limit = column.length / format_for(text.format()).text_unit_size;
  std::size_t count = text.character_count(value);
  if (column.type() == ColumnType::text && count > limit)
    throw InvalidArgumentError(fmt::format(
        "{} holds at most {} characters; the text has {}. Use a shorter text",
        column_label(column), limit, count));
  return text.encode(value, column.allows_compression());
}

std::vector<std::uint8_t> encode_decimal_value(const ColumnDef& column, const Decimal& value) {
  auto scaled = rescale_decimal(value, column.scale);
  if (!scaled)
    throw InvalidArgumentError(fmt::format(
        "{} has {} decimal places; the value {} does not fit them without rounding",
        column_label(column), column.scale, decimal_to_string(value)));
  if (column.precision > 0 && decimal_digit_count(*scaled) > column.precision)
    throw OverflowError(fmt::format("{} holds {} digits; the value {} has more",
                                    column_label(column), column.precision,
                                    decimal_to_string(value)));
  auto bytes = encode_decimal(*scaled);
  return {bytes.begin(), bytes.end()};
}

}  // namespace

std::string_view value_kind(const Value& value) {
  return std::visit([](const auto& v) { return alternative_name<std::decay_t<decltype(v)>>(); },
                    value);
}

std::string_view value_kind_for(ColumnType type) {
  switch (type) {
    case ColumnType::boolean: return alternative_name<bool>();
    case ColumnType::byte: return alternative_name<std::uint8_t>();
    case ColumnType::integer: return alternative_name<std::int16_t>();
    case ColumnType::long_integer: return alternative_name<std::int32_t>();
    case ColumnType::currency: return alternative_name<Currency>();
    case ColumnType::single: return alternative_name<float>();
    case ColumnType::double_: return alternative_name<double>();
    case ColumnType::date_time: return alternative_name<DateTime>();
    case ColumnType::guid: return alternative_name<Guid>();
    case ColumnType::decimal: return alternative_name<Decimal>();
    case ColumnType::text:
    case ColumnType::memo: return alternative_name<std::string>();
    case ColumnType::binary:
    case ColumnType::ole: return alternative_name<Binary>();
  }
  return alternative_name<Binary>();
}

std::optional<std::size_t> fixed_value_size(ColumnType type) {
  switch (type) {
    case ColumnType::boolean: return 0;
    case ColumnType::byte: return 1;
    case ColumnType::integer: return 2;
    case ColumnType::long_integer:
    case ColumnType::single: return 4;
    case ColumnType::currency:
    case ColumnType::double_:
    case ColumnType::date_time: return 8;
    case ColumnType::guid: return 16;
    case ColumnType::decimal: return decimal_size;
    case ColumnType::binary:
    case ColumnType::text:
    case ColumnType::ole:
    case ColumnType::memo: return std::nullopt;
  }
  return std::nullopt;
}

Decimal decode_decimal(std::span<const std::uint8_t, 17> bytes, std::uint8_t scale) {
  Decimal value;
  value.negative = bytes[0] != 0;
  for (std::size_t i = 0; i < 4; ++i) value.magnitude[i] = le::get32(bytes.data() + 1 + 4 * i);
  value.scale = scale;
  return value;
}

std::array<std::uint8_t, 17> encode_decimal(const Decimal& value) {
  std::array<std::uint8_t, 17> bytes{};
  bool zero = value.magnitude == std::array<std::uint32_t, 4>{};
  bytes[0] = value.negative && !zero ? 0x80 : 0x00;
  for (std::size_t i = 0; i < 4; ++i) le::put32(bytes.data() + 1 + 4 * i, value.magnitude[i]);
  return bytes;
}

Value decode_value(const ColumnDef& column, std::span<const std::uint8_t> bytes,
                   const TextCodec& text, const RowOrigin& origin) {
  auto size = fixed_value_size(column.type());
  if (!is_known_column_type(column.type_byte)) return Binary{{bytes.begin(), bytes.end()}};
  if (column.is_boolean())
    throw_internal_error("a Yes/No column has no stored bytes to decode");
  if (size && bytes.size() != *size)
    origin.corrupt(fmt::format("column {} ({}) holds {} bytes instead of {}", column.name,
                               column_type_name(column.type()), bytes.size(), *size));
  const std::uint8_t* p = bytes.data();
  switch (column.type()) {
    case ColumnType::byte: return p[0];
    case ColumnType::integer: return static_cast<std::int16_t>(le::get16(p));
    case ColumnType::long_integer: return static_cast<std::int32_t>(le::get32(p));
    case ColumnType::currency: return Currency{static_cast<std::int64_t>(le::get64(p))};
    case ColumnType::single: return le::get_float<float>(p);
    case ColumnType::double_: return le::get_float<double>(p);
    case ColumnType::date_time: return DateTime{le::get_float<double>(p)};
    case ColumnType::guid: {
      Guid guid;
      std::copy(bytes.begin(), bytes.end(), guid.bytes.begin());
      return guid;
    }
    case ColumnType::decimal:
      return decode_decimal(bytes.first<decimal_size>(), column.scale);
    case ColumnType::text: return text.decode(bytes);
    default: return Binary{{bytes.begin(), bytes.end()}};
  }
}

std::vector<std::uint8_t> encode_value(const ColumnDef& column, const Value& value,
                                       const TextCodec& text) {
  if (!is_known_column_type(column.type_byte) || column.type() == ColumnType::binary) {
    const auto& binary = expect<Binary>(column, value);
    if (column.length > 0 && binary.bytes.size() > column.length)
      throw InvalidArgumentError(fmt::format("{} holds at most {} bytes; the value has {}",
                                             column_label(column), column.length,
                                             binary.bytes.size()));
    return binary.bytes;
  }
  std::vector<std::uint8_t> out = bytes_of_size(fixed_value_size(column.type()).value_or(0));
  std::uint8_t* p = out.data();
  switch (column.type()) {
    case ColumnType::byte: p[0] = expect<std::uint8_t>(column, value); break;
    case ColumnType::integer:
      le::put16(p, static_cast<std::uint16_t>(expect<std::int16_t>(column, value)));
      break;
    case ColumnType::long_integer:
      le::put32(p, static_cast<std::uint32_t>(expect<std::int32_t>(column, value)));
      break;
    case ColumnType::currency:
      le::put64(p, static_cast<std::uint64_t>(expect<Currency>(column, value).scaled));
      break;
    case ColumnType::single: le::put_float(p, expect<float>(column, value)); break;
    case ColumnType::double_: le::put_float(p, expect<double>(column, value)); break;
    case ColumnType::date_time:
      le::put_float(p, expect<DateTime>(column, value).serial);
      break;
    case ColumnType::guid: {
      const auto& guid = expect<Guid>(column, value).bytes;
      std::copy(guid.begin(), guid.end(), out.begin());
      break;
    }
    case ColumnType::decimal:
      return encode_decimal_value(column, expect<Decimal>(column, value));
    case ColumnType::text:
      return encode_text(column, expect<std::string>(column, value), text);
    case ColumnType::memo:
    case ColumnType::ole: return expect<Binary>(column, value).bytes;
    case ColumnType::boolean:
      throw_internal_error(column_label(column) +
                           " keeps its value in the null mask, not in bytes");
    case ColumnType::binary: break;
  }
  return out;
}

}  // namespace norv::jet
