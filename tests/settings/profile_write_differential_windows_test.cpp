// Writes: after the same write the project's own private-profile functions
// and Windows' leave the same bytes in the file and report the same result.
// Wine stands in for Windows, except where it is known to differ: it
// rewrites the whole file in its own layout (lines trimmed, blank lines
// dropped, CR LF everywhere), while Windows, like this project, leaves the
// lines it does not change as they were. Those cases carry Windows' bytes;
// for them Wine's file must still read the same as ours.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/profile_functions.h"
#include "tests/settings/profile_differential_windows.h"

namespace norv::settings {
namespace {

using namespace std::literals;

struct WriteCase {
  std::string name;
  std::optional<std::string> before;  // nothing: no file yet
  std::string section;
  std::optional<std::string> key;    // nothing: delete the section
  std::optional<std::string> value;  // nothing: delete the key
  // Set where Wine's full rewrite differs from Windows: the file Windows leaves.
  std::optional<std::string> windows_after = std::nullopt;
  std::vector<Lookup> lookups = {};
};

// Parameterised tests show the case's name, not its bytes.
void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

std::vector<WriteCase> write_corpus() {
  const std::string two_sections = "[a]\r\nx=1\r\n[b]\r\nz=3\r\n";
  const std::string odd =
      "[Sec]\r\n"
      "  Key1  =  old1   ; trailing\r\n"
      "key2=old2\n"
      "\r\n"
      "; comment in sec\r\n"
      "\r\n"
      "[Other]\r\n"
      "x=1\r\n";
  return {
      {"NewFile", std::nullopt, "Section", "Key", "Value"},
      {"NewSectionAfterAFinalLineEnd", "[a]\r\nx=1\r\n", "b", "k", "v"},
      {"NewSectionWithoutAFinalLineEnd", "[a]\r\nx=1", "b", "k", "v"},
      {"NewKeyInTheLastSection", "[a]\r\nx=1\r\n", "a", "y", "2"},
      {"NewKeyInAMiddleSection", two_sections, "a", "y", "2"},
      {"ReplacedKeyKeepsItsSpellingInTheFile", "[a]\r\nx=1\r\ny=2\r\n", "A", "X", "new"},
      {"DeletedKey", "[a]\r\nx=1\r\ny=2\r\n", "a", "x", std::nullopt},
      {"DeletedSection", two_sections, "a", std::nullopt, std::nullopt},
      {"DeletedMissingKey", two_sections, "a", "none", std::nullopt},
      {"SameValueChangesNothing", two_sections, "b", "z", "3"},
      {"FirstOfDuplicateKeys", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "3"},
      {"FirstOfDuplicateSections", "[a]\r\nx=1\r\n[b]\r\n[a]\r\ny=2\r\n", "a", "z", "3"},
      {"EmptyValue", "[a]\r\nx=1\r\n", "a", "x", ""},
      {"LinefeedFile", "[a]\nx=1\n[b]\ny=2\n", "a", "n", "new",
       "[a]\nx=1\nn=new\r\n[b]\ny=2\n",
       {{"a", "x"}, {"a", "n"}, {"b", "y"}}},
      {"ReplacedKeyAmongOddLines", odd, "SEC", "KEY1", "new",
       "[Sec]\r\nKey1=new\r\nkey2=old2\n\r\n; comment in sec\r\n\r\n[Other]\r\nx=1\r\n",
       {{"Sec", "Key1"}, {"Sec", "key2"}, {"Other", "x"}}},
      {"NewKeyAfterAComment", odd, "Sec", "added", "1",
       "[Sec]\r\n  Key1  =  old1   ; trailing\r\nkey2=old2\n\r\n; comment in sec\r\nadded=1\r\n"
       "\r\n[Other]\r\nx=1\r\n",
       {{"Sec", "Key1"}, {"Sec", "added"}, {"Other", "x"}}},
      {"DeletedSectionAmongOddLines", odd, "Sec", std::nullopt, std::nullopt,
       "[Other]\r\nx=1\r\n", {{"Sec", "Key1"}, {"Other", "x"}}},
  };
}

class ProfileWriteDifferential : public ProfileDifferential,
                                 public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteDifferential, LeavesTheSameFile) {
  const WriteCase& c = GetParam();
  if (c.before) put("settings.ini", *c.before);
  std::optional<std::string_view> before;
  if (c.before) before = *c.before;
  ProfileWriteResult ours = profile_write(before, c.section, c.key, c.value);
  std::string ours_after = ours.new_contents ? *ours.new_contents : c.before.value_or("<no file>");

  bool windows_ok = windows_->write_string(c.section, c.key, c.value, windows_path("settings.ini"));
  std::string wine_after = contents("settings.ini").value_or("<no file>");

  EXPECT_EQ(ours.ok, windows_ok);
  if (!c.windows_after) {
    EXPECT_EQ(shown(ours_after), shown(wine_after));
    return;
  }
  EXPECT_EQ(shown(ours_after), shown(*c.windows_after));
  for (const Lookup& l : c.lookups) {
    SCOPED_TRACE("[" + l.section + "] " + l.key);
    EXPECT_EQ(profile_get_string(ours_after, l.section, l.key, l.default_value, l.size),
              windows_->get_string(l.section, l.key, l.default_value, l.size,
                                   windows_path("settings.ini")));
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ProfileWriteDifferential, ::testing::ValuesIn(write_corpus()),
                         [](const auto& info) { return info.param.name; });

// Windows writes a value holding a line break as it is, so that one write
// can add keys nobody asked for; this project refuses such a value and
// leaves the file alone.
TEST_F(ProfileDifferential, ALineBreakInAValueIsRefusedWhereWindowsWouldInjectALine) {
  const std::string before = "[a]\r\nx=1\r\n";
  put("settings.ini", before);
  ProfileWriteResult ours = profile_write(before, "a", "x"s, "v\r\nInjected=1"s);
  EXPECT_FALSE(ours.ok);
  EXPECT_FALSE(ours.new_contents);
  ASSERT_TRUE(windows_->write_string("a", "x"s, "v\r\nInjected=1"s, windows_path("settings.ini")));
  EXPECT_EQ(windows_->get_string("a", "Injected", "", 255, windows_path("settings.ini")), "1");
}

}  // namespace
}  // namespace norv::settings
