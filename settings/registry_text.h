#pragma once

// The pieces of one line of a registry file: quoted names and strings with
// their escapes, and hex byte lists. Texts come out as UTF-8.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norv::settings {

enum class RegistryDialect {
  wine,     // Wine's own files: \\ \" \a \b \t \n \v \f \r \e, octal, \x with 1-4 hex digits
  regedit,  // export files: only \\ and \" are escapes; any other backslash stands for itself
};

struct ParsedRegistryText {
  std::string text;   // UTF-8; lone UTF-16 surrogates become U+FFFD
  std::size_t next;   // offset just after the closing character
};

// The text from `at` up to the first unescaped `closing`; nothing when the
// line ends first. In Wine's files bytes beyond ASCII are UTF-8, and
// invalid sequences are dropped, as Wine drops them.
std::optional<ParsedRegistryText> parse_registry_text(std::string_view line, std::size_t at,
                                                      char closing, RegistryDialect dialect);

// Appends the bytes of a comma-separated list of two-digit hex numbers
// ("00,1f,\" continues on the next line). Returns whether the list is
// well formed; `continues` tells whether a continuation line follows.
bool append_registry_hex(std::string_view list, std::string& bytes, bool& continues);

// The hex number of a dword: value, eight hex digits at most.
std::optional<std::uint32_t> parse_registry_dword(std::string_view digits);

}  // namespace norv::settings
