#pragma once

// Names that Windows compares without regard to case: file names, INI
// section and key names, registry key and value names. Texts are UTF-8.

#include <string>
#include <string_view>

namespace norv::platform {

// Whether a and b name the same thing once case is folded. Folding covers
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic, the letters that
// occur in the suite's languages; other characters, and bytes that are not
// valid UTF-8, must match exactly.
bool equal_ignoring_case(std::string_view a, std::string_view b);

// `text` with the ASCII letters A-Z made lower case and every other byte as
// it is: the key under which names that differ only in ASCII case meet.
std::string lower_ascii(std::string_view text);

}  // namespace norv::platform
