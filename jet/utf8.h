#pragma once

// UTF-8, the program's text encoding, to and from Unicode scalar values.

#include <optional>
#include <string>
#include <string_view>

namespace norv::jet {

// Nullopt when `text` is not well-formed UTF-8 (overlong forms, surrogates
// and values past U+10FFFF included).
std::optional<std::u32string> decode_utf8(std::string_view text);

void append_utf8(std::string& out, char32_t c);

}  // namespace norv::jet
