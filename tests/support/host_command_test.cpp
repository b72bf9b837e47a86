// Programs of the host system run from a test (mdbtools among them): their
// arguments arrive unchanged and their output and exit status come back, on
// Linux and from the Windows build under Wine alike.

#include "tests/support/host_command.h"

#include <gtest/gtest.h>

#include "platform/path_text.h"
#include "tests/support/temp_dir.h"

namespace norv::test {
namespace {

struct ArgumentCase {
  const char* what;
  std::string argument;
};

class HostCommandArgument : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(HostCommandArgument, ArrivesUnchanged) {
  const CommandResult result = run_host_command({"printf", "[%s]", GetParam().argument});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "[" + GetParam().argument + "]");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HostCommandArgument,
    ::testing::Values(ArgumentCase{"word", "word"}, ArgumentCase{"empty", ""},
                      ArgumentCase{"spaces", "two  words"},
                      ArgumentCase{"quotes", "a \"quoted\" word"},
                      ArgumentCase{"backslashes", "C:\\folder\\"},
                      ArgumentCase{"backslash_quote", "\\\""},
                      ArgumentCase{"separators", "\x1f\x1e"},
                      ArgumentCase{"percent", "%Y-%m-%dT%H:%M:%S"},
                      ArgumentCase{"letters", "Gr\u00fc\u00dfe \u20ac"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(HostCommand, GivesBackBothStreamsAndTheExitStatus) {
  const CommandResult result = run_host_command({"sh", "-c", "echo out; echo err >&2; exit 3"});
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_EQ(result.out, "out\n");
  EXPECT_EQ(result.err, "err\n");
}

TEST(HostCommand, AProgramThatIsNotThereIs127) {
  EXPECT_EQ(run_host_command({"norv-no-such-program"}).exit_status, 127);
}

TEST(HostCommand, HostPathNamesTheFileThisProcessWrote) {
  const TempDir dir;
  const std::filesystem::path file = dir.path() / platform::path_from_utf8("a f\u00fcle.txt");
  write_file(file, "contents\n");
  const CommandResult result = run_host_command({"cat", host_path(file)});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "contents\n");
}

}  // namespace
}  // namespace norv::test
