// Jet 4 UCS-2 text with and without compression, Jet 3 code-page text.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/base/engine_errors.h"
#include "jet/format/text_codec.h"
#include "platform/error.h"
#include "tests/jet/codec_support.h"

namespace norv::jet {
namespace {

using test::hex;
using ::testing::AllOf;
using ::testing::HasSubstr;

const std::filesystem::path file = "/data/test.mdb";

TextCodec jet4() { return TextCodec(FormatVersion::jet4, 1252); }
TextCodec jet3(std::uint16_t code_page = 1252) {
  return TextCodec(FormatVersion::jet3, code_page);
}

TEST(Jet4Text, DecodesPlainUcs2AndSurrogatePairs) {
  EXPECT_EQ(jet4().decode(hex("30002e003900")), "0.9");
  EXPECT_EQ(jet4().decode(hex("e400ac20")), "\u00e4\u20ac");
  EXPECT_EQ(jet4().decode(hex("3dd800de")), "\U0001F600");
  EXPECT_EQ(jet4().decode({}), "");
}

TEST(Jet4Text, DecodesCompressedTextWithToggles) {
  EXPECT_EQ(jet4().decode(hex("fffe 302e39")), "0.9");
  // "1.0 " compressed, 00 to two-byte mode for U+20AC, 00 back, "x".
  EXPECT_EQ(jet4().decode(hex("fffe 312e3020 00 ac20 00 78")), "1.0 \u20acx");
  // The string may end in two-byte mode; an odd trailing byte is dropped.
  EXPECT_EQ(jet4().decode(hex("fffe 41 00 ac20 33")), "A\u20ac");
  EXPECT_EQ(jet4().decode(hex("fffe")), "");
}

TEST(Jet4Text, UnpairedSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(jet4().decode(hex("00d84100")), "\uFFFDA");
  EXPECT_EQ(jet4().decode(hex("00dc")), "\uFFFD");
  EXPECT_EQ(jet4().decode(hex("4100 00d8")), "A\uFFFD");
}

TEST(Jet4Text, CompressesOnlyWhereAllowedAndWorthwhile) {
  EXPECT_EQ(jet4().encode("0.9", true), hex("fffe 302e39"));
  EXPECT_EQ(jet4().encode("0.9", false), hex("30002e003900"));
  // One or two characters gain nothing.
  EXPECT_EQ(jet4().encode("ab", true), hex("61006200"));
  // A character outside U+0001..U+00FF makes the whole string plain.
  EXPECT_EQ(jet4().encode("1.0 \u20ac", true), hex("31002e0030002000ac20"));
  EXPECT_EQ(jet4().encode("\u00e4\u00f6\u00fc", true), hex("fffe e4f6fc"));
  std::string long_text(1025, 'x');
  EXPECT_EQ(jet4().encode(long_text, true).size(), 2050u);
  EXPECT_EQ(jet4().encode(std::string(1024, 'x'), true).size(), 1026u);
}

TEST(Jet4Text, LeadingByteOrderMarkCannotReadAsCompressed) {
  std::string text = "\uFEFFabc";
  auto stored = jet4().encode(text, false);
  EXPECT_EQ(stored, hex("fffe 00 fffe 6100 6200 6300"));
  EXPECT_EQ(jet4().decode(stored), text);
  EXPECT_EQ(jet4().decode(jet4().encode("\uFEFF", true)), "\uFEFF");
}

TEST(Jet4Text, RoundTripsEveryForm) {
  for (const char* text : {"", "a", "Version 1.0", "\u00e4\u20ac \u4e2d\u6587", "\U0001F600!",
                           "line\nbreak\ttab"}) {
    for (bool compress : {false, true})
      EXPECT_EQ(jet4().decode(jet4().encode(text, compress)), text) << text;
  }
}

TEST(Jet4Text, NamesAreNeverCompressed) {
  EXPECT_EQ(jet4().encode_name("MSysObjects"), hex("4d00530079007300 4f0062006a00650063007400 7300"));
  EXPECT_EQ(jet4().decode_name(hex("fffe4100")), "\uFEFFA");
}

TEST(Jet4Text, CountsUtf16Units) {
  EXPECT_EQ(jet4().character_count("\u00e4bc"), 3u);
  EXPECT_EQ(jet4().character_count("\U0001F600"), 2u);
}

TEST(TextCodec, RefusesInvalidUtf8NamingTheFile) {
  for (const char* bad : {"\xff", "\xc3", "\xc0\xaf", "\xed\xa0\x80"}) {
    EXPECT_THROW(
        {
          try {
            with_file_context(file, [&] { return jet4().encode(bad, false); });
          } catch (const InvalidArgumentError& e) {
            EXPECT_THAT(e.what(), HasSubstr("test.mdb"));
            throw;
          }
        },
        InvalidArgumentError);
    EXPECT_THROW(jet3().encode(bad, false), InvalidArgumentError);
  }
}

TEST(Jet3Text, Windows1252BothWays) {
  EXPECT_EQ(jet3().decode(hex("302e39 80 e4 9f")), "0.9\u20ac\u00e4\u0178");
  EXPECT_EQ(jet3().encode("0.9\u20ac\u00e4\u0178", true), hex("302e39 80 e4 9f"));
  // Bytes Windows leaves undefined survive as C1 controls.
  EXPECT_EQ(jet3().encode(jet3().decode(hex("81 8d 8f 90 9d")), false), hex("81 8d 8f 90 9d"));
  EXPECT_EQ(jet3().character_count("\u20ac\u00e4"), 2u);
}

TEST(Jet3Text, CharacterOutsideTheCodePageIsAnError) {
  try {
    with_file_context(file, [] { return jet3().encode("\u4e2d", false); });
    FAIL() << "no error";
  } catch (const InvalidArgumentError& e) {
    EXPECT_THAT(e.what(), AllOf(HasSubstr("test.mdb"), HasSubstr("U+4E2D"), HasSubstr("1252")));
  }
  EXPECT_THROW(jet3().encode_name("\u20ac\u0100"), InvalidArgumentError);
}

TEST(Jet3Text, OtherCodePagesComeFromTheSystem) {
  TextCodec cyrillic = jet3(1251);
  EXPECT_EQ(cyrillic.decode(hex("cff0e8e2e5f2")), "\u041f\u0440\u0438\u0432\u0435\u0442");
  EXPECT_EQ(cyrillic.encode("\u041f\u0440\u0438\u0432\u0435\u0442", false), hex("cff0e8e2e5f2"));
  EXPECT_THROW(cyrillic.encode("\u00e4", false), InvalidArgumentError);
}

TEST(Jet3Text, UnknownAndMultiByteCodePagesAreRefused) {
  EXPECT_THROW(jet3(9), NotSupportedError);
  EXPECT_THROW(jet3(932), NotSupportedError);
  EXPECT_NO_THROW(TextCodec(FormatVersion::jet4, 9));  // Jet 4 text ignores it
}

}  // namespace
}  // namespace norv::jet
