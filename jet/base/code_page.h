#pragma once

// A single-byte Windows code page, the encoding of Jet 3 text. Windows-1252
// is built in, so it behaves the same everywhere; other code pages are read
// from the operating system once (iconv on POSIX, MultiByteToWideChar on
// Windows) into a table of 256 characters.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace norv::jet {

// No character: a byte the code page leaves undefined.
inline constexpr char32_t no_character = 0xFFFFFFFF;

using CodePageTable = std::array<char32_t, 256>;

class CodePage {
 public:
  // Throws NotSupportedError when the code page is unknown here and to the
  // operating system, or is a multi-byte code page.
  static CodePage load(std::uint16_t number);

  explicit CodePage(std::uint16_t number, const CodePageTable& table);

  std::uint16_t number() const { return number_; }

  // Undefined bytes decode to U+FFFD.
  std::string decode(std::span<const std::uint8_t> bytes) const;

  // The byte for `c`, or nullopt when the code page cannot hold it.
  std::optional<std::uint8_t> encode(char32_t c) const;

 private:
  std::uint16_t number_;
  CodePageTable table_;
  std::unordered_map<char32_t, std::uint8_t> bytes_;
};

// Provided per platform (code_page_posix.cpp, code_page_windows.cpp): the
// table of a single-byte code page, or nullopt when the system does not
// have it or it is a multi-byte code page.
std::optional<CodePageTable> system_code_page_table(std::uint16_t number);

}  // namespace norv::jet
