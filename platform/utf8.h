#pragma once

// UTF-8, the program's text encoding, to and from Unicode scalar values: the
// one codec every layer decodes with. Well-formed means no overlong forms,
// nothing past U+10FFFF and no surrogates; what a caller does with the bytes
// that are not is its own choice (refuse the text, keep the byte, put U+FFFD).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace norv::platform {

// Whether the three-byte forms of U+D800..U+DFFF decode. Only the settings
// layer accepts them: it carries a lone UTF-16 surrogate of a registry or
// profile file in that generalised form until the text leaves the layer.
enum class Surrogates { refused, accepted };

// One step through UTF-8 text.
struct Utf8Step {
  char32_t code_point;  // the byte's own value when !valid
  std::size_t length;   // always at least 1: an invalid byte is a step of its own
  bool valid;
};

// The character that starts at `at` (< text.size()).
Utf8Step decode_utf8_at(std::string_view text, std::size_t at,
                        Surrogates surrogates = Surrogates::refused);

// Every character of `text`; nullopt when it is not well-formed.
std::optional<std::u32string> decode_utf8(std::string_view text);

bool is_valid_utf8(std::string_view text);

void append_utf8(std::string& out, char32_t code_point);

// Characters counted as decode_utf8_at steps them (surrogates accepted), so
// that an invalid byte counts as one.
std::size_t character_count(std::string_view text);

// The first `count` of those characters.
std::string_view first_characters(std::string_view text, std::size_t count);

// The length of `text` without a character cut off at its end (the first
// bytes of a sequence whose rest has not arrived yet), so that text written
// in pieces is converted only in whole characters.
std::size_t whole_characters_length(std::string_view text);

}  // namespace norv::platform
