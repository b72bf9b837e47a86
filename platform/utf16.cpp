#include "platform/utf16.h"

#include "platform/utf8.h"

namespace norv::platform {

namespace {

constexpr char32_t replacement_character = 0xFFFD;

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

void Utf16Decoder::add(char16_t unit, std::string& out) {
  if (pending_high_ != 0) {
    const char16_t high = pending_high_;
    pending_high_ = 0;
    if (is_low_surrogate(unit)) {
      append_utf8(out, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (unit - 0xDC00));
      return;
    }
    append_lone(high, out);
  }
  if (is_high_surrogate(unit))
    pending_high_ = unit;
  else if (is_low_surrogate(unit))
    append_lone(unit, out);
  else
    append_utf8(out, unit);
}

void Utf16Decoder::finish(std::string& out) {
  if (pending_high_ != 0) append_lone(pending_high_, out);
  pending_high_ = 0;
}

void Utf16Decoder::append_lone(char16_t unit, std::string& out) const {
  append_utf8(out, policy_ == LoneSurrogates::kept ? char32_t{unit} : replacement_character);
}

std::string utf16_to_utf8(std::u16string_view units, LoneSurrogates policy) {
  std::string out;
  out.reserve(units.size());
  Utf16Decoder decoder(policy);
  for (char16_t unit : units) decoder.add(unit, out);
  decoder.finish(out);
  return out;
}

}  // namespace norv::platform
