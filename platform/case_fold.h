#pragma once

// The one case rule of the program: names Windows and Jet compare without
// regard to case (file names, INI section and key names, registry key and
// value names, table and column names) and text Jet orders without regard
// to case. Upper-case forms exist for ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic letters, the letters of the suite's languages; every
// other character is its own upper case. Texts are UTF-8; a byte that is not
// part of well-formed UTF-8 stands for itself and matches only itself.

#include <string>
#include <string_view>

namespace norv::platform {

char32_t upper_case(char32_t c);

// `text` with every character in its upper-case form; invalid bytes kept.
std::string to_upper_case(std::string_view text);

// Whether a and b name the same thing once case is folded.
bool equal_ignoring_case(std::string_view a, std::string_view b);

// Orders text by the code points of the upper-case forms, invalid bytes
// after every character by their value: <0, 0 or >0.
int compare_ignoring_case(std::string_view a, std::string_view b);

// `text` with the ASCII letters A-Z made lower case and every other byte as
// it is: the key under which names that differ only in ASCII case meet.
std::string lower_ascii(std::string_view text);

}  // namespace norv::platform
