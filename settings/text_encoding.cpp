#include "settings/text_encoding.h"

#include "platform/utf16.h"
#include "platform/utf8.h"
#include "platform/windows_1252.h"

namespace norv::settings {

namespace {

using platform::append_utf8;
using platform::decode_utf8_at;
using platform::Surrogates;
using platform::Utf8Step;

constexpr char32_t replacement_character = 0xFFFD;

}  // namespace

std::string sanitized_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const Utf8Step step = decode_utf8_at(bytes, i, Surrogates::accepted);
    const bool surrogate = step.code_point >= 0xD800 && step.code_point <= 0xDFFF;
    if (step.valid && !surrogate) out.append(bytes.substr(i, step.length));
    else append_utf8(out, replacement_character);
    i += step.length;
  }
  return out;
}

std::string ansi_to_utf8(std::string_view bytes) {
  const auto& table = platform::windows_1252_table();
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) append_utf8(out, table[static_cast<std::uint8_t>(ch)]);
  return out;
}

std::string utf8_to_ansi(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Step step = decode_utf8_at(text, i);
    i += step.length;
    const char32_t c = step.valid ? step.code_point : replacement_character;
    out.push_back(static_cast<char>(platform::windows_1252_byte(c).value_or('?')));
  }
  return out;
}

std::string ansi_or_utf8_to_utf8(std::string_view bytes) {
  return platform::is_valid_utf8(bytes) ? std::string(bytes) : ansi_to_utf8(bytes);
}

std::string utf16le_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  Utf16leStreamDecoder decoder;
  decoder.decode(bytes.substr(0, bytes.size() & ~std::size_t{1}), out);
  decoder.decode({}, out);
  return out;
}

std::string utf8_to_utf16le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Step step = decode_utf8_at(text, i, Surrogates::accepted);
    i += step.length;
    platform::append_utf16le(out, step.valid ? step.code_point : replacement_character);
  }
  return out;
}

void Utf16leStreamDecoder::decode(std::string_view bytes, std::string& out) {
  if (bytes.empty()) {
    units_.finish(out);
    return;
  }
  std::size_t i = 0;
  if (pending_byte_ >= 0) {
    units_.add(static_cast<char16_t>(pending_byte_ | (static_cast<std::uint8_t>(bytes[0]) << 8)),
               out);
    pending_byte_ = -1;
    i = 1;
  }
  for (; i + 1 < bytes.size(); i += 2) {
    units_.add(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                     (static_cast<std::uint8_t>(bytes[i + 1]) << 8)),
               out);
  }
  if (i < bytes.size()) pending_byte_ = static_cast<std::uint8_t>(bytes[i]);
}

}  // namespace norv::settings
