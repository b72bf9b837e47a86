#pragma once

// Case rules for names and text, as the Windows upper-casing rules apply
// them: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters have
// their upper-case forms; every other character is its own upper case.
// Text is UTF-8; a byte that is not valid UTF-8 is kept as it is.

#include <string>
#include <string_view>

namespace norv::data {

std::string to_upper_case(std::string_view text);

// Table and column names match when their upper-case forms are equal.
bool names_equal(std::string_view a, std::string_view b);

// Orders text without regard to case (by the code points of the upper-case
// forms): <0, 0 or >0.
int compare_ignoring_case(std::string_view a, std::string_view b);

}  // namespace norv::data
