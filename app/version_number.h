#pragma once

#include <string_view>

namespace norv::app {

// The numeric test of the version text: a plain decimal number, digits with
// at most one '.', at least one digit; no blanks, signs, letters, grouping
// or exponents, whatever the locale; and no larger than a Double holds
// (about 1.8E+308), which a number test converting to Double refuses. The text goes unquoted into an UPDATE
// statement, so this test is its only guard.
bool is_plain_decimal_number(std::string_view text);

}  // namespace norv::app
