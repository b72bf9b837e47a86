#pragma once

// Index keys of text under Jet's "General" sort order. Jet compares text
// without regard to case, so a letter and its capital share a weight. Only
// characters whose weights were read from index pages that Jet itself
// wrote are supported: letters (except K, W, X, Z), digits and, in Jet 3,
// the underscore. Any other character is refused rather than guessed,
// because an index whose keys Jet would sort differently breaks lookups.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "jet/database.h"

namespace norv::jet {

// The key bytes of `utf8` (weights and terminator, without the entry's
// leading flag byte), or nullopt when it holds a character outside the
// supported set; `unsupported` then receives that character.
std::optional<std::vector<std::uint8_t>> general_sort_key(FormatVersion format,
                                                          std::string_view utf8,
                                                          char32_t* unsupported = nullptr);

}  // namespace norv::jet
