#include "jet/format/text_codec.h"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

#include "jet/format/format.h"
#include "platform/error.h"
#include "platform/utf16.h"
#include "platform/utf8.h"

namespace norv::jet {

namespace {

constexpr std::size_t max_compressed_characters = 1024;

bool is_compressed(std::span<const std::uint8_t> stored) {
  return stored.size() >= 2 && stored[0] == 0xFF && stored[1] == 0xFE;
}

std::u16string plain_code_units(std::span<const std::uint8_t> stored) {
  std::u16string units;
  for (std::size_t pos = 0; pos + 1 < stored.size(); pos += 2)
    units.push_back(static_cast<char16_t>(stored[pos] | stored[pos + 1] << 8));
  return units;
}

std::string decode_code_units(std::u16string_view units) {
  return platform::utf16_to_utf8(units, platform::LoneSurrogates::replaced);
}

bool gains_from_compression(const std::u32string& text) {
  return text.size() > 2 && text.size() <= max_compressed_characters &&
         std::all_of(text.begin(), text.end(), [](char32_t c) { return c >= 1 && c <= 0xFF; });
}

}  // namespace

std::u16string ucs2_code_units(std::span<const std::uint8_t> stored) {
  if (!is_compressed(stored)) return plain_code_units(stored);
  std::u16string units;
  bool compressed = true;
  for (std::size_t pos = 2; pos < stored.size();) {
    if (stored[pos] == 0) {
      compressed = !compressed;
      pos += 1;
    } else if (compressed) {
      units.push_back(stored[pos]);
      pos += 1;
    } else if (pos + 1 < stored.size()) {
      units.push_back(static_cast<char16_t>(stored[pos] | stored[pos + 1] << 8));
      pos += 2;
    } else {
      break;
    }
  }
  return units;
}

std::string decode_ucs2_text(std::span<const std::uint8_t> stored) {
  return decode_code_units(ucs2_code_units(stored));
}

std::vector<std::uint8_t> encode_ucs2_text(const std::u32string& text, bool allow_compression) {
  std::vector<std::uint8_t> out;
  if (allow_compression && gains_from_compression(text)) {
    out.reserve(text.size() + 2);
    out.push_back(0xFF);
    out.push_back(0xFE);
    for (char32_t c : text) out.push_back(static_cast<std::uint8_t>(c));
    return out;
  }
  out.reserve(text.size() * 2 + 3);
  if (!text.empty() && text.front() == 0xFEFF) {
    // Plain U+FEFF is stored FF FE, the compression marker: start in
    // compressed mode and leave it at once instead.
    for (std::uint8_t b : {0xFF, 0xFE, 0x00}) out.push_back(b);
  }
  for (char32_t c : text) platform::append_utf16le(out, c);
  return out;
}

TextCodec::TextCodec(FormatVersion format, std::uint16_t code_page) : format_(format) {
  if (format_for(format_).text_unit_size == 1) code_page_ = CodePage::load(code_page);
}

std::u32string TextCodec::checked_utf8(std::string_view utf8) const {
  auto text = platform::decode_utf8(utf8);
  if (!text)
    throw InvalidArgumentError("a text to store is not valid UTF-8");
  return *std::move(text);
}

std::vector<std::uint8_t> TextCodec::encode_code_page(const std::u32string& text) const {
  std::vector<std::uint8_t> out;
  out.reserve(text.size());
  for (char32_t c : text) {
    auto byte = code_page_->encode(c);
    if (!byte)
      throw InvalidArgumentError(fmt::format(
          "the character U+{:04X} cannot be stored in this Jet 3 database (code page {}); "
          "use only characters of that code page",
          static_cast<std::uint32_t>(c), code_page_->number()));
    out.push_back(*byte);
  }
  return out;
}

std::string TextCodec::decode(std::span<const std::uint8_t> stored) const {
  return code_page_ ? code_page_->decode(stored) : decode_ucs2_text(stored);
}

std::vector<std::uint8_t> TextCodec::encode(std::string_view utf8, bool allow_compression) const {
  std::u32string text = checked_utf8(utf8);
  return code_page_ ? encode_code_page(text) : encode_ucs2_text(text, allow_compression);
}

std::string TextCodec::decode_name(std::span<const std::uint8_t> stored) const {
  return code_page_ ? code_page_->decode(stored) : decode_code_units(plain_code_units(stored));
}

std::vector<std::uint8_t> TextCodec::encode_name(std::string_view utf8) const {
  std::u32string text = checked_utf8(utf8);
  if (code_page_) return encode_code_page(text);
  std::vector<std::uint8_t> out;
  for (char32_t c : text) platform::append_utf16le(out, c);
  return out;
}

std::size_t TextCodec::character_count(std::string_view utf8) const {
  std::u32string text = checked_utf8(utf8);
  if (code_page_) return text.size();
  return text.size() + static_cast<std::size_t>(std::count_if(
                           text.begin(), text.end(), [](char32_t c) { return c > 0xFFFF; }));
}

}  // namespace norv::jet
