// The progress line rewritten in place: with "\033[K" where the terminal
// clears the line on it, with spaces over the old line's rest elsewhere.

#include "app/cli/progress_line.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "app/cli/progress.h"
#include "tests/support/temp_dir.h"

namespace norv::app::cli {
namespace {

struct ReplacingCase {
  const char* what;
  std::size_t shown_width;
  std::string next;
  bool clears_with_escape;
  std::string written;
};

class ReplacingLine : public ::testing::TestWithParam<ReplacingCase> {};

TEST_P(ReplacingLine, WritesWhatLeavesOnlyTheNextLine) {
  const ReplacingCase& c = GetParam();
  EXPECT_EQ(replacing_line(c.shown_width, c.next, c.clears_with_escape), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReplacingLine,
    ::testing::Values(
        ReplacingCase{"escape_longer_line", 3, "abcdef", true, "\r\033[Kabcdef"},
        ReplacingCase{"escape_shorter_line", 10, "abc", true, "\r\033[Kabc"},
        ReplacingCase{"escape_wipe", 4, "", true, "\r\033[K"},
        ReplacingCase{"spaces_first_line", 0, "abc", false, "\rabc"},
        ReplacingCase{"spaces_longer_line", 3, "abcdef", false, "\rabcdef"},
        ReplacingCase{"spaces_shorter_line", 5, "abc", false, "\rabc  "},
        ReplacingCase{"spaces_count_characters_not_bytes", 3, "\u00fc", false, "\r\u00fc  "},
        ReplacingCase{"spaces_wipe", 4, "", false, "\r    \r"},
        ReplacingCase{"spaces_wipe_of_nothing", 0, "", false, "\r\r"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(LineWidth, CountsCharactersOfUtf8) {
  EXPECT_EQ(line_width(""), 0u);
  EXPECT_EQ(line_width("C:\\Daten"), 8u);
  EXPECT_EQ(line_width("Gr\u00fc\u00dfe \u20ac \U0001F600"), 9u);
}

#ifdef _WIN32
// A stream that is no console has no virtual-terminal processing to offer.
TEST(ClearsLineWithEscape, NotOnAStreamThatIsNoConsole) {
  const test::TempDir dir;
  std::FILE* file = std::fopen((dir / "progress.txt").string().c_str(), "w");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(clears_line_with_escape(file));
  std::fclose(file);
}
#endif

}  // namespace
}  // namespace norv::app::cli
