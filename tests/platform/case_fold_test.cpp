// The one case rule: which names match, the upper-case forms, and how text
// orders without regard to case.

#include "platform/case_fold.h"

#include <gtest/gtest.h>

namespace norv::platform {
namespace {

TEST(EqualIgnoringCase, FoldsTheLettersOfTheSuitesLanguages) {
  EXPECT_TRUE(equal_ignoring_case("Norv Software", "NORV software"));
  EXPECT_TRUE(equal_ignoring_case("\xC3\x86\xC3\x98\xC3\x85", "\xC3\xA6\xC3\xB8\xC3\xA5"));  // ÆØÅ æøå
  EXPECT_TRUE(equal_ignoring_case("\xC5\x81\xC3\x93\xC5\xB9", "\xC5\x82\xC3\xB3\xC5\xBA"));  // ŁÓŹ łóź
  EXPECT_TRUE(equal_ignoring_case("\xD0\x94\xD0\x81", "\xD0\xB4\xD1\x91"));                  // ДЁ дё
  EXPECT_FALSE(equal_ignoring_case("\xC3\x97", "\xC3\xB7"));  // × and ÷ are not a pair
  EXPECT_FALSE(equal_ignoring_case("abc", "abcd"));
  EXPECT_FALSE(equal_ignoring_case("\xC4", "\xE4"));  // invalid UTF-8 must match exactly
  EXPECT_TRUE(equal_ignoring_case("\xC4", "\xC4"));
}


TEST(TextCase, UpperCaseForms) {
  EXPECT_EQ(to_upper_case("control"), "CONTROL");
  EXPECT_EQ(to_upper_case("größe ÿ"), "GRÖßE Ÿ");  // ß has no single upper-case letter
  EXPECT_EQ(to_upper_case("łódź"), "ŁÓDŹ");
  EXPECT_EQ(to_upper_case("ωμέγα"), "ΩΜέΓΑ");
  EXPECT_EQ(to_upper_case("привет ё"), "ПРИВЕТ Ё");
  EXPECT_EQ(to_upper_case("a\xFF"
                          "b"),
            "A\xFF"
            "B");  // invalid UTF-8 kept
}

TEST(TextCase, NamesMatchWithoutRegardToCaseButNotTrimmed) {
  EXPECT_TRUE(equal_ignoring_case("CONTROL", "control"));
  EXPECT_TRUE(equal_ignoring_case("Größe", "GRÖßE"));
  EXPECT_FALSE(equal_ignoring_case("Control ", "Control"));
  EXPECT_FALSE(equal_ignoring_case("ControlOld", "Control"));
}

TEST(TextCase, MalformedUtf8IsNeverTakenForTheLetterItSpells) {
  // Overlong, surrogate and out-of-range forms stand for their bytes: an
  // overlong "a" names no table called "A", and is left as it is.
  EXPECT_FALSE(equal_ignoring_case("\xC1\xA1", "a"));
  EXPECT_FALSE(equal_ignoring_case("Contr\xC1\xAFl", "CONTROL"));
  EXPECT_EQ(to_upper_case("\xC1\xA1\xED\xA0\x80"), "\xC1\xA1\xED\xA0\x80");
  EXPECT_TRUE(equal_ignoring_case("x\xF5\x80\x80\x80", "X\xF5\x80\x80\x80"));
}

TEST(TextCase, OrderFollowsUpperCaseFormsWithInvalidBytesLast) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"abc", "ABD", -1},
      {"\xC3\xA4", "\xC3\x84", 0},          // ä Ä
      {"z", "\xC3\xA4", -1},                  // Z before Ä (U+00C4)
      {"\xF0\x9F\x98\x80", "\xFF", -1},    // every character before an invalid byte
      {"\x80", "\xFF", -1},                   // invalid bytes by value
      {"ab", "AB ", -1},
  };
  for (const Case& c : cases) {
    const int result = compare_ignoring_case(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    const int reverse = compare_ignoring_case(c.b, c.a);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << c.b << " vs " << c.a;
  }
}

}  // namespace
}  // namespace norv::platform
