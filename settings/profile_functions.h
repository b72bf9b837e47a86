#pragma once

// GetPrivateProfileStringA, GetPrivateProfileIntA and
// WritePrivateProfileStringA as functions of a settings file's bytes, so
// that they can be tested and fuzzed without a file system. `file` holds
// the file's contents, or nothing when there is no such file. Texts in and
// out are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norv::settings {

// The value of `key` in the first section named `section` (names compared
// without regard to case, both trimmed), cut to size - 1 characters; the
// default, without its trailing spaces, when the file, the section, the key
// or the key's '=' is missing. An empty value is a value.
std::string profile_get_string(std::optional<std::string_view> file, std::string_view section,
                               std::string_view key, std::string_view default_value,
                               std::uint32_t size);

// The number the value begins with, as GetPrivateProfileIntA computes it:
// leading blanks skipped, one optional sign, a 0x / 0o / 0b prefix or
// decimal digits, stopping at the first other character, wrapping modulo
// 2^32, read from at most the value's first 29 characters; 0 when the value
// does not begin with a number; the default when the value is empty or
// missing.
std::uint32_t profile_get_int(std::optional<std::string_view> file, std::string_view section,
                              std::string_view key, std::int32_t default_value);

struct ProfileWriteResult {
  bool ok = false;                          // what the function returns
  std::optional<std::string> new_contents;  // nothing when the file is to stay as it is
};

// Sets `key` (value given), deletes it (no value) or deletes the whole
// section (no key), changing no other byte of the file: a replaced key keeps
// its place and its spelling in the file, a new key goes after the last
// non-blank line of its section, a new section at the end of the file
// (after a CR LF when the file lacks a final line end). New lines end in
// CR LF and use the file's encoding. Names and values holding a line break
// or a NUL cannot be stored faithfully and are refused (ok false).
ProfileWriteResult profile_write(std::optional<std::string_view> file, std::string_view section,
                                 const std::optional<std::string>& key,
                                 const std::optional<std::string>& value);

}  // namespace norv::settings
