#pragma once

// UTF-16 code units to and from Unicode scalar values: the one codec the
// engine (Jet 4 text) and the settings layer (UTF-16LE files) share.
//
// A surrogate without its partner is handled by the caller's policy:
// replaced by U+FFFD (the engine reads such text as Jet does), or kept in
// its three-byte generalised UTF-8 form (the settings layer carries it
// until the text leaves the layer; see Surrogates::accepted in utf8.h).

#include <string>
#include <string_view>

namespace norv::platform {

enum class LoneSurrogates { replaced, kept };

// Pairs surrogates across calls, so that text can arrive unit by unit.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(LoneSurrogates policy) : policy_(policy) {}

  // Appends the UTF-8 of every character `unit` completes.
  void add(char16_t unit, std::string& out);
  // The end of the text: a pending high surrogate stands alone.
  void finish(std::string& out);

 private:
  void append_lone(char16_t unit, std::string& out) const;

  LoneSurrogates policy_;
  char16_t pending_high_ = 0;
};

std::string utf16_to_utf8(std::u16string_view units, LoneSurrogates policy);

// The code units of `code_point`, one or a surrogate pair, each handed to
// `unit` in order. A lone surrogate's own value is one unit.
template <typename UnitSink>
void for_each_utf16_unit(char32_t code_point, UnitSink&& unit) {
  if (code_point < 0x10000) {
    unit(static_cast<char16_t>(code_point));
    return;
  }
  unit(static_cast<char16_t>(0xD800 + ((code_point - 0x10000) >> 10)));
  unit(static_cast<char16_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF)));
}

// Appends the little-endian bytes of `code_point`'s code units to `out`, a
// container of bytes (std::string, std::vector<std::uint8_t>).
template <typename Bytes>
void append_utf16le(Bytes& out, char32_t code_point) {
  using Byte = typename Bytes::value_type;
  for_each_utf16_unit(code_point, [&out](char16_t unit) {
    out.push_back(static_cast<Byte>(unit & 0xFF));
    out.push_back(static_cast<Byte>(unit >> 8));
  });
}

}  // namespace norv::platform
