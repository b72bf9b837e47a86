// Windows' private-profile functions take their texts in the ANSI code page:
// a section, key, value or file name the code page cannot hold is refused
// with an error naming the file, and the file is left as it was, rather
// than written or looked up under another name.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "tests/settings/profile_differential_windows.h"

namespace norv::settings {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

// "Łódź": the code page has the 'ó', not the 'Ł' or the 'ź'.
const std::string kLacking = "\xC5\x81\xC3\xB3" "d\xC5\xBA";
const std::string kBefore = "[a]\r\nx=1\r\n";

struct RefusedWrite {
  const char* name;
  std::string section;
  std::optional<std::string> key;
  std::optional<std::string> value;
};

class ProfileTextTest : public ProfileDifferential {
 protected:
  void SetUp() override {
    if (::GetACP() != 1252) GTEST_SKIP() << "the system's ANSI code page is not 1252";
    put("NORV.INI", kBefore);
  }

  // Runs `call` and checks that it failed naming `file` and `text`.
  template <typename Call>
  void expect_refused(const char* name, const std::string& file, const std::string& text,
                      Call call) {
    try {
      call();
      ADD_FAILURE() << name << ": no error";
    } catch (const std::runtime_error& error) {
      EXPECT_THAT(error.what(), AllOf(HasSubstr(file), HasSubstr("\"" + text + "\"")))
          << name;
    }
  }
};

TEST_F(ProfileTextTest, WritesOfTextTheCodePageLacksAreRefusedAndLeaveTheFile) {
  const RefusedWrite cases[] = {
      {"value", "a", "x", kLacking},
      {"key", "a", kLacking, "1"},
      {"section", kLacking, "x", "1"},
  };
  const std::string file = windows_path("NORV.INI");
  for (const RefusedWrite& c : cases) {
    expect_refused(c.name, file, c.name == std::string("section") ? c.section : kLacking,
                   [&] { windows_->write_string(c.section, c.key, c.value, file); });
    EXPECT_EQ(contents("NORV.INI"), kBefore) << c.name;
  }
}

TEST_F(ProfileTextTest, ReadsOfTextTheCodePageLacksAreRefused) {
  const std::string file = windows_path("NORV.INI");
  expect_refused("key", file, kLacking,
                 [&] { windows_->get_string("a", kLacking, "", 255, file); });
  // The same folder; a std::string path would be read in the code page.
  const std::string lacking_file = file.substr(0, file.size() - 8) + kLacking + ".ini";
  expect_refused("file name", lacking_file, lacking_file,
                 [&] { windows_->get_int("a", "x", 0, lacking_file); });
}

}  // namespace
}  // namespace norv::settings
