// Writes through WritePrivateProfileStringA's semantics: the exact bytes of
// the file afterwards, every untouched byte kept.

#include "settings/profile_functions.h"

#include <gtest/gtest.h>

#include <string>

namespace norv::settings {
namespace {

using namespace std::literals;

// The file after one write; fails the test when the write is refused.
std::string after(std::optional<std::string_view> file, std::string_view section,
                  std::optional<std::string> key, std::optional<std::string> value) {
  ProfileWriteResult result = profile_write(file, section, key, value);
  EXPECT_TRUE(result.ok);
  if (!result.new_contents) return file ? std::string(*file) : "<no file>";
  return *result.new_contents;
}

std::string set(std::optional<std::string_view> file, std::string_view section,
                const std::string& key, const std::string& value) {
  return after(file, section, key, value);
}

constexpr std::string_view odd_file =
    "\0\0; header comment\n"
    "[Sec]\r\n"
    "  Key1  =  old1   ; trailing\r\n"
    "key2=old2\n"
    "\r\n"
    "; comment in sec\r\n"
    "\r\n"
    "[Other]\r\n"
    "x=1\r\n"sv;

TEST(ProfileWrite, ANewFileHoldsExactlyTheSectionAndTheKey) {
  EXPECT_EQ(set(std::nullopt, "Section", "Key", "Value"), "[Section]\r\nKey=Value\r\n");
  EXPECT_EQ(set("", " Sec ", " Key ", "v"), "[Sec]\r\nKey=v\r\n");
}

TEST(ProfileWrite, ReplacingAKeyChangesOnlyItsLine) {
  std::string file(odd_file);
  std::string expected = file;
  expected.replace(expected.find("  Key1"), std::string_view("  Key1  =  old1   ; trailing").size(),
                   "Key1=new");
  EXPECT_EQ(set(file, "SEC", "KEY1", "new"), expected);
}

TEST(ProfileWrite, ANewKeyGoesAfterTheLastLineOfItsSection) {
  std::string file(odd_file);
  // after the comment, before the blank line that separates the sections
  std::string expected = file;
  expected.insert(expected.find("; comment in sec\r\n") + 18, "added=1\r\n");
  EXPECT_EQ(set(file, "Sec", "added", "1"), expected);
  EXPECT_EQ(set("[A]\r\nk=1\r\n[B]\r\n", "A", "n", "2"), "[A]\r\nk=1\r\nn=2\r\n[B]\r\n");
  EXPECT_EQ(set("[A]", "A", "n", "2"), "[A]\r\nn=2\r\n");
  EXPECT_EQ(set("[A]\nk=1", "A", "n", "2"), "[A]\nk=1\r\nn=2\r\n");
}

TEST(ProfileWrite, ANewSectionGoesAtTheEndWithALineEndBeforeItWhenNeeded) {
  EXPECT_EQ(set("[A]\r\nk=1\r\n", "B", "k", "2"), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
  EXPECT_EQ(set("[A]\r\nk=1", "B", "k", "2"), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
  EXPECT_EQ(set("[A]\r\nk=1\r\n\r\n", "B", "k", "2"), "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n");
}

TEST(ProfileWrite, DuplicatesTheFirstSectionAndKeyAreTheOnesChanged) {
  EXPECT_EQ(set("[A]\r\nk=1\r\nK=2\r\n[a]\r\nk=3\r\n", "A", "k", "9"),
            "[A]\r\nk=9\r\nK=2\r\n[a]\r\nk=3\r\n");
  EXPECT_EQ(set("[A]\r\n[a]\r\nk=3\r\n", "A", "new", "9"), "[A]\r\nnew=9\r\n[a]\r\nk=3\r\n");
}

TEST(ProfileWrite, WritingTheValueAKeyAlreadyHasChangesNothing) {
  ProfileWriteResult result = profile_write("[A]\r\nk = \"v\" \r\n", "a", "K", "v");
  EXPECT_TRUE(result.ok);
  EXPECT_FALSE(result.new_contents);
}

TEST(ProfileWrite, ALineWithoutEqualsIsTheKeyOfThatName) {
  EXPECT_EQ(set("[A]\r\nNoEquals\r\n", "A", "noequals", "v"), "[A]\r\nNoEquals=v\r\n");
}

TEST(ProfileWrite, DeletingAKeyRemovesItsWholeLineOnly) {
  EXPECT_EQ(after("[A]\r\nk=1\r\nj=2\r\n", "A", "K", std::nullopt), "[A]\r\nj=2\r\n");
  EXPECT_EQ(after("[A]\r\nk=1\r\n", "A", "k", std::nullopt), "[A]\r\n");
  EXPECT_EQ(after("[A]\nj=2\nk=1", "A", "k", std::nullopt), "[A]\nj=2\n");
}

TEST(ProfileWrite, DeletingASectionRemovesEveryLineUpToTheNextHeader) {
  std::string file(odd_file);
  std::string expected = file.substr(0, file.find("[Sec]")) + "[Other]\r\nx=1\r\n";
  EXPECT_EQ(after(file, "sec", std::nullopt, std::nullopt), expected);
  EXPECT_EQ(after("[A]\r\nk=1\r\n[B]\r\nj=2", "B", std::nullopt, std::nullopt), "[A]\r\nk=1\r\n");
}

TEST(ProfileWrite, DeletingWhatIsMissingSucceedsAndChangesNothing) {
  for (std::optional<std::string> key : {std::optional<std::string>("k"), std::optional<std::string>()}) {
    ProfileWriteResult missing_file = profile_write(std::nullopt, "A", key, std::nullopt);
    EXPECT_TRUE(missing_file.ok);
    EXPECT_FALSE(missing_file.new_contents);
    ProfileWriteResult missing_section = profile_write("[B]\r\nk=1\r\n", "A", key, std::nullopt);
    EXPECT_TRUE(missing_section.ok);
    EXPECT_FALSE(missing_section.new_contents);
  }
}

TEST(ProfileWrite, LineBreaksAndNulsAreRefusedRatherThanInjected) {
  for (std::string bad : {std::string("x\r\nInjected=1"), std::string("a\nb"), std::string("a\0b", 3)}) {
    EXPECT_FALSE(profile_write("[A]\r\n", "A", "k", bad).ok);
    EXPECT_FALSE(profile_write("[A]\r\n", "A", bad, "v").ok);
    EXPECT_FALSE(profile_write("[A]\r\n", bad, "k", "v").ok);
  }
}

TEST(ProfileWrite, TheFileKeepsItsEncoding) {
  // ANSI: Windows-1252 bytes, '?' where the code page has no character.
  EXPECT_EQ(set("[A]\r\n", "A", "k", "caf\xC3\xA9 \xE4\xB8\xAD"), "[A]\r\nk=caf\xE9 ?\r\n");
  // UTF-8 with and without byte-order mark stays UTF-8.
  EXPECT_EQ(set("\xEF\xBB\xBF[A]\r\n", "A", "k", "\xC3\xA9"), "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9\r\n");
  EXPECT_EQ(set("[\xC3\xA4]\r\n", "\xC3\x84", "k", "\xC3\xA9"), "[\xC3\xA4]\r\nk=\xC3\xA9\r\n");
  // UTF-16LE stays UTF-16LE, new lines included.
  std::string utf16("\xFF\xFE[\0A\0]\0\r\0\n\0", 12);
  std::string expected = utf16 + std::string("k\0=\0\xE9\0\r\0\n\0", 10);
  EXPECT_EQ(set(utf16, "a", "k", "\xC3\xA9"), expected);
}

TEST(ProfileWrite, UntouchedBytesSurviveEvenWhenTheyAreNotText) {
  std::string utf16_odd("\xFF\xFE[\0A\0]\0\r\0\n\0\x00\xD8\r\0\n\0k\0=\0\x31\0\r\0\n\0\x7F"sv);
  std::string result = set(utf16_odd, "A", "k", "2");
  std::string expected = utf16_odd;
  expected[22] = '2';
  EXPECT_EQ(result, expected);  // the lone surrogate and the odd last byte are kept
  std::string ansi("[A]\r\n\x81\x8D\xFF junk\r\nk=1\r\n"sv);
  std::string changed = ansi;
  changed.replace(changed.size() - 3, 1, "2");
  EXPECT_EQ(set(ansi, "A", "k", "2"), changed);
}

}  // namespace
}  // namespace norv::settings
