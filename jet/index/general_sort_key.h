#pragma once

// Index keys of text under Jet's "General" sort order (the weights are in
// general_sort_tables.h). Jet compares text without regard to case, so a
// letter and its capital give the same key. The key is computed from the
// text as stored, never from a Unicode round trip: Jet 3 weighs code-page
// bytes that have no Unicode character, Jet 4 weighs unpaired surrogates.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "jet/types/format_version.h"

namespace norv::jet {

// The key of a text value after the column's flag byte, ascending: Jet 3
// from code-page 1252 bytes, Jet 4 from UTF-16 code units. Only the first
// 255 characters count, and trailing spaces (U+0020 only) are dropped.
std::vector<std::uint8_t> jet3_general_sort_key(std::span<const std::uint8_t> code_page_bytes);
std::vector<std::uint8_t> jet4_general_sort_key(std::u16string_view code_units);

// The descending form of an ascending key of `format`.
std::vector<std::uint8_t> descending_text_key(FormatVersion format,
                                              std::vector<std::uint8_t> ascending);

}  // namespace norv::jet
