#pragma once

// Text as Jet stores it, to and from UTF-8.
//
// Jet 4: UCS-2LE (UTF-16LE in practice), optionally "compressed": a leading
// FF FE, then one byte per character, a 00 byte toggling to two-byte
// characters and back. Jet 3: single-byte text in the database's code page.
// Table, column and index names, and MSysObjects names, use the same codec
// (never compressed).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database.h"

namespace norv::jet {

// A single-byte code page. Windows-1252 is built in; others come from the
// operating system (iconv on POSIX, the Win32 conversions on Windows).
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual std::uint16_t number() const = 0;
  // Never fails: every byte maps to some character (undefined bytes map to
  // the C1 control of the same value, as Windows does).
  virtual std::string decode(std::span<const std::uint8_t> bytes) const = 0;
  // Appends the code page bytes of one Unicode character and returns true,
  // or returns false when the code page has no byte for it.
  virtual bool encode_char(char32_t c, std::vector<std::uint8_t>& out) const = 0;
};

// Throws NotSupportedError when neither the built-in tables nor the
// operating system know the code page.
std::unique_ptr<CodePage> make_code_page(std::uint16_t number);

// Provided per platform (text_codec_posix.cpp / text_codec_windows.cpp);
// returns nullptr when the system cannot convert that code page.
std::unique_ptr<CodePage> make_system_code_page(std::uint16_t number);

class TextCodec {
 public:
  // `file` only names the database in error messages. Throws
  // NotSupportedError for a Jet 3 code page nobody can convert.
  TextCodec(FormatVersion format, std::uint16_t code_page, std::filesystem::path file);
  TextCodec(TextCodec&&) noexcept;
  TextCodec& operator=(TextCodec&&) noexcept;
  ~TextCodec();

  FormatVersion format() const { return format_; }
  const std::filesystem::path& file() const { return file_; }

  // Stored text of a Text or Memo value. Jet 4 text is recognised as
  // compressed by its FF FE marker, whatever the column allows; unpaired
  // surrogates and an odd trailing byte are a CorruptDatabaseError.
  std::string decode(std::span<const std::uint8_t> stored) const;

  // Stored form of `utf8`. Jet 4: compressed only when `allow_compression`
  // and the text gains from it (3..1024 characters, all U+0001..U+00FF),
  // otherwise UCS-2LE (a leading U+FEFF is written as FF FE 00 + UCS-2LE so
  // it cannot read as compressed). Jet 3: the code page; a character it
  // cannot hold is an InvalidArgumentError naming the file. Invalid UTF-8 is
  // an InvalidArgumentError.
  std::vector<std::uint8_t> encode(std::string_view utf8, bool allow_compression) const;

  // Names: Jet 4 plain UCS-2LE, Jet 3 the code page.
  std::string decode_name(std::span<const std::uint8_t> stored) const;
  std::vector<std::uint8_t> encode_name(std::string_view utf8) const;

  // The length Jet limits a Text column by: UTF-16 code units in Jet 4,
  // code-page bytes in Jet 3. Invalid UTF-8 is an InvalidArgumentError.
  std::size_t character_count(std::string_view utf8) const;

 private:
  FormatVersion format_;
  std::filesystem::path file_;
  std::unique_ptr<CodePage> code_page_;  // Jet 3 only
};

}  // namespace norv::jet
