// Reads of settings files as the private-profile functions of Windows make
// them, on the tricky files recorded for those functions.

#include "settings/profile_functions.h"

#include <gtest/gtest.h>

#include <string>

namespace norv::settings {
namespace {

using namespace std::literals;

std::string read(std::string_view file, std::string_view section, std::string_view key,
                 std::string_view fallback = "dflt", std::uint32_t size = 255) {
  return profile_get_string(file, section, key, fallback, size);
}

std::int64_t read_int(std::string_view file, std::string_view key, std::int32_t fallback = -5) {
  return static_cast<std::int32_t>(profile_get_int(file, "S", key, fallback));
}

constexpr std::string_view tricky =
    "; header comment\r\n"
    "Orphan=before any section\r\n"
    "[Sec1]\r\n"
    "  Spaced  =   value with spaces   \r\n"
    "equals=a=b\r\n"
    "tab\t=\tafter tab\r\n"
    "Key With Space=kws\r\n"
    "NoEquals\r\n"
    ";Comment=not a key\r\n"
    "#Hash=x\r\n"
    "Inline=value ; comment\r\n"
    "Empty=\r\n"
    "Blanks=   \r\n"
    "Quoted=\"quoted value\"\r\n"
    "Single='single'\r\n"
    "Padded=  \"  padded  \"  \r\n"
    "Open=\"open only\r\n"
    "Mixed=\"mixed'\r\n"
    "Pair=\"\"\r\n"
    "Lone=\"\r\n"
    "Inside=a \"b\" c\r\n"
    "Dup=first\r\n"
    "dup=second\r\n"
    "=empty name\r\n"
    "CtrlZ=text\x1A\r\n"
    "[ Spaced Section ]\r\n"
    "k=spaced section\r\n"
    "[Br]ack]\r\n"
    "k=bracket\r\n"
    "[Trail] junk\r\n"
    "k=trail\r\n"
    "  [Indented]\r\n"
    "k=indented\r\n"
    "[Unclosed\r\n"
    "after=still in Indented\r\n"
    "[sec1]\r\n"
    "OnlyInSecond=hidden\r\n";

TEST(ProfileRead, TrimsNamesAndValuesAndKeepsInnerText) {
  EXPECT_EQ(read(tricky, "Sec1", "Spaced"), "value with spaces");
  EXPECT_EQ(read(tricky, "Sec1", "equals"), "a=b");
  EXPECT_EQ(read(tricky, "Sec1", "tab"), "after tab");
  EXPECT_EQ(read(tricky, "Sec1", "Key With Space"), "kws");
  EXPECT_EQ(read(tricky, "Sec1", "Inline"), "value ; comment");
  EXPECT_EQ(read(tricky, "Sec1", "CtrlZ"), "text");
  EXPECT_EQ(read(tricky, " Sec1 ", " Spaced "), "value with spaces");
}

TEST(ProfileRead, NamesIgnoreCaseAndTheFirstSectionAndKeyWin) {
  EXPECT_EQ(read(tricky, "SEC1", "SPACED"), "value with spaces");
  EXPECT_EQ(read(tricky, "sec1", "DUP"), "first");
  EXPECT_EQ(read(tricky, "Sec1", "OnlyInSecond"), "dflt");
}

TEST(ProfileRead, CommentAndHashLinesAreOrdinaryKeysForLookups) {
  EXPECT_EQ(read(tricky, "Sec1", ";Comment"), "not a key");
  EXPECT_EQ(read(tricky, "Sec1", "#Hash"), "x");
  EXPECT_EQ(read(tricky, "Sec1", "Comment"), "dflt");
}

TEST(ProfileRead, EmptyValuesAreValuesButLinesWithoutEqualsAreNot) {
  EXPECT_EQ(read(tricky, "Sec1", "Empty"), "");
  EXPECT_EQ(read(tricky, "Sec1", "Blanks"), "");
  EXPECT_EQ(read(tricky, "Sec1", "NoEquals"), "dflt");
  EXPECT_EQ(read(tricky, "Sec1", ""), "empty name");
}

TEST(ProfileRead, OnePairOfMatchingQuotesIsRemoved) {
  EXPECT_EQ(read(tricky, "Sec1", "Quoted"), "quoted value");
  EXPECT_EQ(read(tricky, "Sec1", "Single"), "single");
  EXPECT_EQ(read(tricky, "Sec1", "Padded"), "  padded  ");
  EXPECT_EQ(read(tricky, "Sec1", "Open"), "\"open only");
  EXPECT_EQ(read(tricky, "Sec1", "Mixed"), "\"mixed'");
  EXPECT_EQ(read(tricky, "Sec1", "Pair"), "");
  EXPECT_EQ(read(tricky, "Sec1", "Lone"), "\"");
  EXPECT_EQ(read(tricky, "Sec1", "Inside"), "a \"b\" c");
}

TEST(ProfileRead, HeadersNameTheTextUpToTheLastBracket) {
  EXPECT_EQ(read(tricky, "Spaced Section", "k"), "spaced section");
  EXPECT_EQ(read(tricky, "Br]ack", "k"), "bracket");
  EXPECT_EQ(read(tricky, "Trail", "k"), "trail");
  EXPECT_EQ(read(tricky, "Indented", "k"), "indented");
  EXPECT_EQ(read(tricky, "Indented", "after"), "still in Indented");
  EXPECT_EQ(read(tricky, "Unclosed", "after"), "dflt");
}

TEST(ProfileRead, KeysBeforeTheFirstSectionBelongToNoNamedSection) {
  EXPECT_EQ(read(tricky, "", "Orphan"), "dflt");
  EXPECT_EQ(read("[]\r\nk=explicit\r\n", "", "k"), "explicit");
}

TEST(ProfileRead, EveryLineEndIsALineEnd) {
  for (std::string_view end : {"\r\n", "\n", "\r"}) {
    std::string file = "[A]" + std::string(end) + "k=1" + std::string(end) + "[B]" +
                       std::string(end) + "k=2";
    EXPECT_EQ(read(file, "A", "k"), "1") << "line end " << int(end.back());
    EXPECT_EQ(read(file, "B", "k"), "2") << "line end " << int(end.back());
  }
}

TEST(ProfileRead, TheBufferCutsValuesAndDefaults) {
  std::string file = "[S]\r\nlong=" + std::string(300, 'x') + "\r\nv=val1\r\n";
  EXPECT_EQ(read(file, "S", "long"), std::string(254, 'x'));
  EXPECT_EQ(read(file, "S", "v", "", 4), "val");
  EXPECT_EQ(read(file, "S", "v", "", 1), "");
  EXPECT_EQ(read(file, "S", "v", "", 0), "");
  EXPECT_EQ(read(file, "S", "missing", "abcdef", 4), "abc");
}

TEST(ProfileRead, TheDefaultLosesItsTrailingSpacesOnly) {
  EXPECT_EQ(read("", "S", "k", "dflt   "), "dflt");
  EXPECT_EQ(read("", "S", "k", "  lead  "), "  lead");
  EXPECT_EQ(read("", "S", "k", "tab\t"), "tab\t");
  EXPECT_EQ(profile_get_string(std::nullopt, "S", "k", "missing file ", 255), "missing file");
}

TEST(ProfileRead, ANulEndsTheLineButNotTheFile) {
  std::string file("[S]\r\nA=x\0y\r\nB=after\r\n"sv);
  EXPECT_EQ(read(file, "S", "A"), "x");
  EXPECT_EQ(read(file, "S", "B"), "after");
}

TEST(ProfileRead, EncodingsWithAndWithoutByteOrderMark) {
  EXPECT_EQ(read("[S]\r\nk=caf\xE9\r\n", "S", "k"), "caf\xC3\xA9");  // ANSI
  EXPECT_EQ(read("[S]\r\nk=caf\xC3\xA9\r\n", "S", "k"), "caf\xC3\xA9");  // UTF-8 without mark
  EXPECT_EQ(read("\xEF\xBB\xBF[S]\r\nk=\xE2\x82\xAC\r\n", "S", "k"), "\xE2\x82\xAC");
  std::string utf16("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\xAC\x20"sv);
  EXPECT_EQ(read(utf16, "s", "K"), "\xC3\xA9\xE2\x82\xAC");
}

TEST(ProfileRead, NonAsciiNamesIgnoreCase) {
  EXPECT_EQ(read("[\xC4rger]\r\nk=1\r\n", "\xC3\xA4RGER", "k"), "1");  // ANSI file, UTF-8 caller
  EXPECT_EQ(read("[\xC3\x86" "ble]\r\nk=2\r\n", "\xC3\xA6" "ble", "k"), "2");
}

TEST(ProfileReadInt, ConvertsTheLeadingNumberAsWindowsDoes) {
  std::string file = "[S]\r\n";
  const std::pair<std::string, std::int64_t> cases[] = {
      {"1", 1}, {"+1", 1}, {"-1", -1}, {"   12", 12}, {"\t7", 7}, {"-12", -12},
      {"42A94967297", 42}, {"12abc", 12}, {"12.7", 12}, {"1e3", 1}, {"1 2", 1},
      {"B4294967297", 0}, {"abc", 0}, {"4294967296", 0}, {"4294967297", 1},
      {"-4294967297", -1}, {"99999999999", 1215752191}, {"2147483648", INT32_MIN},
      {"\"34\"", 34}, {"- 5", 0}, {"++1", 0}, {"0x1F", 31}, {"0X1f", 31}, {"010", 10},
      {"0o17", 15}, {"0b101", 5}, {"0x", 0}, {"-0x10", -16}, {"40000", 40000},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    file += "k" + std::to_string(i) + "=" + cases[i].first + "\r\n";
  file += "empty=\r\nthirty=" + std::string(29, '0') + "1\r\n";
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(read_int(file, "k" + std::to_string(i)), cases[i].second) << cases[i].first;
  EXPECT_EQ(read_int(file, "empty"), -5);
  EXPECT_EQ(read_int(file, "missing"), -5);
  EXPECT_EQ(read_int(file, "thirty"), 0);  // only 29 characters are converted
  EXPECT_EQ(profile_get_int(std::nullopt, "S", "k0", 7), 7u);
}

}  // namespace
}  // namespace norv::settings
