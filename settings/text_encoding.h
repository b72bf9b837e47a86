#pragma once

// Conversions at the edges of the settings layer. The program's text is
// UTF-8; settings and registry files hold ANSI bytes (Windows-1252, the
// code page of the suite's machines), UTF-8 or UTF-16LE. UTF-8 itself is
// platform/utf8.h.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/utf16.h"

namespace norv::settings {

// Invalid sequences become U+FFFD, so the result is always valid UTF-8.
std::string sanitized_utf8(std::string_view bytes);

// Windows-1252 bytes as UTF-8 (the five unassigned bytes map to the C1
// controls of the same value, as Windows maps them).
std::string ansi_to_utf8(std::string_view bytes);

// UTF-8 as Windows-1252 bytes; characters the code page lacks become '?',
// as the ANSI functions of Windows make them.
std::string utf8_to_ansi(std::string_view text);

// Text read from an ANSI source that may also hold UTF-8 (a file edited on
// Linux): valid UTF-8 is kept, anything else is read as Windows-1252.
std::string ansi_or_utf8_to_utf8(std::string_view bytes);

// UTF-16LE code units in both directions, losslessly: a lone surrogate is
// carried as its three-byte generalised UTF-8 form (which sanitized_utf8
// turns into U+FFFD when the text leaves the layer). An odd final byte is
// not decoded; the caller keeps it.
std::string utf16le_to_utf8(std::string_view bytes);
std::string utf8_to_utf16le(std::string_view text);

// Decodes UTF-16LE that arrives in pieces (a registry export read chunk by
// chunk): a code unit or surrogate pair split across pieces is completed by
// the next one. Lone surrogates are kept, as utf16le_to_utf8 keeps them.
class Utf16leStreamDecoder {
 public:
  // Appends the UTF-8 of every complete character in `bytes` to `out`; an
  // empty `bytes` ends the text.
  void decode(std::string_view bytes, std::string& out);

 private:
  int pending_byte_ = -1;
  platform::Utf16Decoder units_{platform::LoneSurrogates::kept};
};

}  // namespace norv::settings
