#pragma once

// Numbers as Jet SQL writes them: digits with at most one "." (digits on
// at least one side), then an optional exponent ("E", optional sign,
// digits). A number with a point or an exponent is a Double; digits alone
// are a Long when they fit, a Double otherwise.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norv::data {

struct NumberLiteral {
  double value = 0;
  std::optional<std::int32_t> long_value;  // set when the literal is a Long
  std::string text;                        // as written, sign included
};

// The length of the unsigned number at the start of text; 0 when there is
// none. An incomplete exponent ("1E", "1E+") ends the number before the E.
std::size_t scan_number(std::string_view text);

// Reads an optionally signed number that fills the whole text. nullopt when
// the text is not one; OverflowError when it lies beyond a Double's range
// (a number too small for a Double reads as 0).
std::optional<NumberLiteral> read_number(std::string_view text);

}  // namespace norv::data
