// Texts handed to Windows' ANSI functions: exact in the system's code page,
// or an error that names them; best fit only for texts that are just shown.

#include "platform/system_text_windows.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace norv::platform {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

// The cases are written for Windows-1252, the code page of a Western or
// German installation.
class SystemTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != 1252) GTEST_SKIP() << "the system's ANSI code page is not 1252";
  }
};

struct Representable {
  const char* utf8;
  const char* ansi;
};

TEST_F(SystemTextTest, TextTheCodePageHoldsArrivesExactlyAndComesBack) {
  const Representable cases[] = {
      {"", ""},
      {"C:\\Norv\\Data", "C:\\Norv\\Data"},
      {"C:\\Programme\\Norv Gr\xC3\xB6\xC3\x9F" "e", "C:\\Programme\\Norv Gr\xF6\xDF" "e"},
      {"\xE2\x82\xAC 5", "\x80 5"},  // the euro sign, at 0x80 in this code page
  };
  for (const Representable& c : cases) {
    EXPECT_EQ(utf8_to_system_ansi(c.utf8), c.ansi) << c.utf8;
    EXPECT_EQ(system_ansi_to_utf8(c.ansi), c.utf8) << c.utf8;
    EXPECT_EQ(utf8_to_system_ansi_for_display(c.utf8), c.ansi) << c.utf8;
  }
}

// Each would otherwise reach Windows as another name: a '?' for a letter
// the code page lacks, or the look-alike Latin letter of a best fit.
TEST_F(SystemTextTest, TextWithACharacterTheCodePageLacksIsAnErrorNamingIt) {
  const char* const cases[] = {
      "C:\\Norv \xC5\x81\xC3\xB3" "d\xC5\xBA",     // Polish letters: best fit would drop marks
      "C:\\Norv\\\xE6\x97\xA5\xE6\x9C\xAC",         // Japanese
      "Daten \xCE\xA9",                              // Greek capital omega
  };
  for (const char* text : cases) {
    try {
      (void)utf8_to_system_ansi(text);
      ADD_FAILURE() << "no error for " << text;
    } catch (const std::runtime_error& error) {
      EXPECT_THAT(error.what(), AllOf(HasSubstr(std::string("\"") + text + "\""),
                                      HasSubstr("code page 1252"), HasSubstr("Use only")))
          << text;
    }
  }
}

// A message box must open whatever its text holds: what the code page has
// stays, what it lacks becomes one stand-in character each.
TEST_F(SystemTextTest, TextOnlyShownKeepsWhatTheCodePageHasAndStandsInForTheRest) {
  const std::string shown =
      utf8_to_system_ansi_for_display("\xC5\x81\xC3\xB3" "d\xC5\xBA \xE6\x97\xA5 Gr\xC3\xB6\xC3\x9F" "e");
  ASSERT_EQ(shown.size(), 12u) << shown;
  EXPECT_EQ(shown.substr(1, 2), "\xF3" "d");
  EXPECT_EQ(shown.substr(4), " ? Gr\xF6\xDF" "e");
}

}  // namespace
}  // namespace norv::platform
