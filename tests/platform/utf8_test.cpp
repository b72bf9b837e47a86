// The one UTF-8 codec: which sequences are well-formed, how far a step
// goes, and what the surrogate option changes.

#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace norv::platform {
namespace {

TEST(Utf8, DecodesOneStepAndRefusesEveryMalformedForm) {
  struct Case {
    std::string_view bytes;
    char32_t code_point;  // the lead byte's value when invalid
    std::size_t length;
    bool valid;
    bool valid_with_surrogates;
  };
  using namespace std::string_view_literals;
  const Case cases[] = {
      {"A"sv, U'A', 1, true, true},
      {"\x00"sv, 0, 1, true, true},
      {"\xC3\xA4"sv, 0xE4, 2, true, true},
      {"\xE2\x82\xAC"sv, 0x20AC, 3, true, true},
      {"\xF4\x8F\xBF\xBF"sv, 0x10FFFF, 4, true, true},
      {"\xC1\xA1"sv, 0xC1, 1, false, false},          // overlong "a"
      {"\xC0\x80"sv, 0xC0, 1, false, false},          // overlong NUL
      {"\xE0\x9F\xBF"sv, 0xE0, 1, false, false},      // overlong three-byte
      {"\xF0\x8F\xBF\xBF"sv, 0xF0, 1, false, false},  // overlong four-byte
      {"\xF4\x90\x80\x80"sv, 0xF4, 1, false, false},  // past U+10FFFF
      {"\xF5\x80\x80\x80"sv, 0xF5, 1, false, false},
      {"\x80"sv, 0x80, 1, false, false},              // a continuation alone
      {"\xC3"sv, 0xC3, 1, false, false},              // cut short
      {"\xE2\x82"sv, 0xE2, 1, false, false},
      {"\xC3\x41"sv, 0xC3, 1, false, false},          // no continuation
      {"\xED\xA0\x80"sv, 0xD800, 3, false, true},     // a lone surrogate
      {"\xED\xBF\xBF"sv, 0xDFFF, 3, false, true},
  };
  for (const Case& c : cases) {
    const Utf8Step strict = decode_utf8_at(c.bytes, 0);
    EXPECT_EQ(strict.valid, c.valid) << testing::PrintToString(c.bytes);
    EXPECT_EQ(strict.length, c.valid ? c.length : 1u) << testing::PrintToString(c.bytes);
    if (c.valid) {
      EXPECT_EQ(strict.code_point, c.code_point);
    }
    const Utf8Step lenient = decode_utf8_at(c.bytes, 0, Surrogates::accepted);
    EXPECT_EQ(lenient.valid, c.valid_with_surrogates) << testing::PrintToString(c.bytes);
    EXPECT_EQ(lenient.length, c.length) << testing::PrintToString(c.bytes);
    EXPECT_EQ(lenient.code_point, c.code_point) << testing::PrintToString(c.bytes);
    EXPECT_EQ(decode_utf8(c.bytes).has_value(), c.valid);
    EXPECT_EQ(is_valid_utf8(c.bytes), c.valid);
  }
}

TEST(Utf8, EncodesWhatItDecodes) {
  for (char32_t c : {U'\0', U'A', char32_t{0x7F}, char32_t{0x80}, char32_t{0x7FF}, char32_t{0x800},
                     char32_t{0xFFFF}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
    std::string bytes;
    append_utf8(bytes, c);
    const auto decoded = decode_utf8(bytes);
    ASSERT_TRUE(decoded.has_value()) << static_cast<std::uint32_t>(c);
    EXPECT_EQ(*decoded, std::u32string(1, c));
  }
}

TEST(Utf8, CountsAnInvalidByteAsOneCharacter) {
  // a, ä, a lone surrogate, FF, and the two bytes of a cut sequence
  EXPECT_EQ(character_count("a\xC3\xA4\xED\xA0\x80\xFF\xE2\x82"), 6u);
  EXPECT_EQ(first_characters("a\xC3\xA4\xED\xA0\x80z", 3), "a\xC3\xA4\xED\xA0\x80");
  EXPECT_EQ(first_characters("ab", 5), "ab");
}

TEST(Utf8, HoldsBackOnlyACharacterCutOffAtTheEnd) {
  struct Case {
    std::string_view text;
    std::size_t whole;
  } cases[] = {
      {"", 0},
      {"Gr\xC3\xB6", 4},                // ends with a whole ö
      {"Gr\xC3", 2},                    // the first byte of ö
      {"\xE2\x82", 0},                  // two of the three bytes of €
      {"a\xE2\x82\xAC", 4},             // € whole
      {"a\xF0\x9F\x98", 1},             // three of the four bytes of an emoji
      {"\xF0\x9F\x98\x80", 4},          // the emoji whole
      {"a\xFF", 2},                     // a byte no sequence starts with is passed on
      {"a\x80\x80\x80\x80", 5},         // stray continuations too
  };
  for (const Case& c : cases) EXPECT_EQ(whole_characters_length(c.text), c.whole) << c.text;
}

}  // namespace
}  // namespace norv::platform
