#pragma once

// Text as Jet stores it, to and from UTF-8.
//
// Jet 4: UCS-2LE (UTF-16LE in practice), optionally "compressed": a leading
// FF FE, then one byte per character, a 00 byte toggling to two-byte
// characters and back. Jet 3: single-byte text in the database's code page
// (code_page.h). Table, column and index names, and MSysObjects names, use
// the same codec (never compressed).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/base/code_page.h"
#include "jet/types/format_version.h"

namespace norv::jet {

class TextCodec {
 public:
  // Throws NotSupportedError for a Jet 3 code page that cannot be converted
  // here.
  TextCodec(FormatVersion format, std::uint16_t code_page);

  FormatVersion format() const { return format_; }

  // Stored text of a Text or Memo value. Jet 4 text is recognised as
  // compressed by its FF FE marker, whatever the column allows. Decoding
  // never fails: an unpaired surrogate becomes U+FFFD and an odd trailing
  // byte is ignored, as Jet itself reads them.
  std::string decode(std::span<const std::uint8_t> stored) const;

  // Stored form of `utf8`. Jet 4: compressed only when `allow_compression`
  // and the text gains from it (3..1024 characters, all U+0001..U+00FF),
  // otherwise UCS-2LE; a text starting with U+FEFF is written FF FE 00 +
  // UCS-2LE so that it cannot read as compressed. Jet 3: the code page; a
  // character it cannot hold is an InvalidArgumentError.
  // Invalid UTF-8 is an InvalidArgumentError.
  std::vector<std::uint8_t> encode(std::string_view utf8, bool allow_compression) const;

  // Names: Jet 4 plain UCS-2LE, Jet 3 the code page.
  std::string decode_name(std::span<const std::uint8_t> stored) const;
  std::vector<std::uint8_t> encode_name(std::string_view utf8) const;

  // The length Jet limits a Text column by: UTF-16 code units in Jet 4,
  // code-page bytes in Jet 3. Invalid UTF-8 is an InvalidArgumentError.
  std::size_t character_count(std::string_view utf8) const;

 private:
  std::u32string checked_utf8(std::string_view utf8) const;
  std::vector<std::uint8_t> encode_code_page(const std::u32string& text) const;

  FormatVersion format_;
  std::optional<CodePage> code_page_;  // Jet 3 only
};

// Jet 4 text as its UTF-16 code units, unpaired surrogates kept (index keys
// weigh them); compressed text expanded.
std::u16string ucs2_code_units(std::span<const std::uint8_t> stored);

// Jet 4 text, exposed for the tests.
std::string decode_ucs2_text(std::span<const std::uint8_t> stored);
std::vector<std::uint8_t> encode_ucs2_text(const std::u32string& text, bool allow_compression);

}  // namespace norv::jet
