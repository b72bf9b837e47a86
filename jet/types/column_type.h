#pragma once

// Column types as the table definition stores them (the type byte).

#include <cstdint>
#include <string_view>

namespace norv::jet {

enum class ColumnType : std::uint8_t {
  boolean = 0x01,
  byte = 0x02,
  integer = 0x03,   // 16-bit
  long_integer = 0x04,
  currency = 0x05,
  single = 0x06,
  double_ = 0x07,
  date_time = 0x08,
  binary = 0x09,
  text = 0x0A,
  ole = 0x0B,
  memo = 0x0C,
  guid = 0x0F,
  decimal = 0x10,
};

// True for the type bytes this engine knows how to decode.
bool is_known_column_type(std::uint8_t type_byte);

// The name a person reads in schemas and messages ("Text", "Long", ...).
std::string_view column_type_name(ColumnType type);

}  // namespace norv::jet
