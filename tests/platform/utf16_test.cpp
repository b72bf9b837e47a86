// The one UTF-16 codec: pairs, and what each policy makes of a surrogate
// without its partner.

#include "platform/utf16.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/windows_1252.h"

namespace norv::platform {
namespace {

TEST(Utf16, PairsSurrogatesAndHandsLoneOnesToThePolicy) {
  struct Case {
    const char* name;
    std::u16string units;
    std::string replaced, kept;
  };
  const Case cases[] = {
      {"plain", u"Größe", "Größe", "Größe"},
      {"pair", {0xD83D, 0xDE00}, "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"high at the end", {u'a', 0xD800}, "a\xEF\xBF\xBD", "a\xED\xA0\x80"},
      {"high before a letter", {0xDBFF, u'b'}, "\xEF\xBF\xBD" "b", "\xED\xAF\xBF" "b"},
      {"low alone", {0xDC00, u'c'}, "\xEF\xBF\xBD" "c", "\xED\xB0\x80" "c"},
      {"two highs then a low", {0xD800, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80",
       "\xED\xA0\x80\xF0\x9F\x98\x80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf16_to_utf8(c.units, LoneSurrogates::replaced), c.replaced) << c.name;
    EXPECT_EQ(utf16_to_utf8(c.units, LoneSurrogates::kept), c.kept) << c.name;
  }
}

TEST(Utf16, EncodesScalarValuesAsLittleEndianUnits) {
  std::vector<std::uint8_t> bytes;
  for (char32_t c : {U'A', U'\u20AC', U'\U0001F600', char32_t{0xDC00}}) append_utf16le(bytes, c);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x41, 0x00, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE,
                                              0x00, 0xDC}));
}

TEST(Windows1252, EveryByteRoundTripsAndOnlyItsCharactersHaveBytes) {
  const auto& table = windows_1252_table();
  for (unsigned b = 0; b < 256; ++b) EXPECT_EQ(windows_1252_byte(table[b]), b) << b;
  EXPECT_EQ(table[0x80], U'\u20AC');
  EXPECT_EQ(table[0x81], char32_t{0x81}) << "undefined bytes stand for themselves";
  for (char32_t c : {U'\u0100', U'\u2028', U'\U0001F600', char32_t{0x80}})
    EXPECT_EQ(windows_1252_byte(c), std::nullopt) << static_cast<unsigned>(c);
}

}  // namespace
}  // namespace norv::platform
