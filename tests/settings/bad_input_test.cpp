// Damaged and hostile settings and registry files: every family reads as
// far as it can be read, without a crash, a hang or memory out of
// proportion to the file.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/utf8.h"
#include "settings/profile_functions.h"
#include "settings/registry_file_scanner.h"
#include "settings/text_encoding.h"

namespace norv::settings {
namespace {

using namespace std::literals;
using platform::is_valid_utf8;

std::string garbage(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string read(std::string_view file, std::string_view section, std::string_view key) {
  return profile_get_string(file, section, key, "dflt", 255);
}

std::optional<Registry::RawValue> find(std::string_view file, std::string value = "InstallDir") {
  return find_registry_value(file, {HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", std::move(value)});
}

const std::string registry_head = "WINE REGISTRY Version 2\n#arch=win32\n";
const std::string norv_key = "[Software\\\\Norv Software]\n\"InstallDir\"=\"C:\\\\Norv\"\n";

TEST(BadSettingsFile, NulBytesEverywhere) {
  std::string file = "\0\0\r\n[A]\0\r\nk=1\r\n\0\0\0\r\n[B\0]\r\nj=2\r\n[C]\r\nx=\0hidden\r\n"
                     "\0[D]\r\nd=not a section\r\nk\0ey=cut name\r\n"s;
  EXPECT_EQ(read(file, "A", "k"), "1");
  EXPECT_EQ(read(file, "B", "j"), "2");  // a NUL ends the name
  EXPECT_EQ(read(file, "C", "x"), "");
  EXPECT_EQ(read(file, "D", "d"), "dflt");
  EXPECT_EQ(read(file, "C", "d"), "not a section");
  EXPECT_EQ(read(file, "C", "k"), "cut name");
  ProfileWriteResult written = profile_write(file, "A", "k", "2");
  ASSERT_TRUE(written.new_contents);
  std::string expected = file;
  expected.replace(expected.find("k=1"), 3, "k=2");
  EXPECT_EQ(*written.new_contents, expected);
}

TEST(BadSettingsFile, InvalidUtf8AndUtf16) {
  std::string bad_utf8 = "\xEF\xBB\xBF[A]\r\nk=\xC3\x28\xFF\xED\xA0\x80ok\r\n";
  EXPECT_EQ(read(bad_utf8, "A", "k"), "\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBDok");
  EXPECT_TRUE(is_valid_utf8(read(bad_utf8, "A", "k")));
  std::string bad_utf16 = "\xFF\xFE[\0A\0]\0\n\0k\0=\0\x00\xDC\x3D\xD8x\0\n\0\x41"s;
  std::string value = read(bad_utf16, "A", "k");
  EXPECT_TRUE(is_valid_utf8(value));
  EXPECT_EQ(value, "\xEF\xBF\xBD\xEF\xBF\xBDx");
}

TEST(BadSettingsFile, BinaryGarbageReadsAndWritesWithoutHarm) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::string file = garbage(4096, seed);
    std::string value = read(file, "A", "k");
    EXPECT_TRUE(is_valid_utf8(value));
    ProfileWriteResult written = profile_write(file, "Norv", "Key", "v");
    ASSERT_TRUE(written.ok);
    ASSERT_TRUE(written.new_contents);
    EXPECT_EQ(read(*written.new_contents, "Norv", "Key"), "v") << "seed " << seed;
    EXPECT_TRUE(written.new_contents->starts_with(file.substr(0, 2)));
  }
}

TEST(BadSettingsFile, AnEnormousLineIsReadWhole) {
  std::string file = "[A]\r\nbig=" + std::string(8u << 20, 'x') + "\r\nafter=found\r\n";
  EXPECT_EQ(read(file, "A", "big"), std::string(254, 'x'));
  EXPECT_EQ(read(file, "A", "after"), "found");
}

TEST(BadSettingsFile, MillionsOfSections) {
  std::string file;
  for (int i = 0; i < 1'000'000; ++i) file += "[S" + std::to_string(i) + "]\n";
  file += "[Last]\nk=end\n";
  EXPECT_EQ(read(file, "Last", "k"), "end");
  ProfileWriteResult written = profile_write(file, "S999999", "k", "v");
  ASSERT_TRUE(written.new_contents);
  EXPECT_EQ(written.new_contents->size(), file.size() + 5);
}

TEST(BadRegistryFile, NulBytesEndALine) {
  std::string file = registry_head + "[Software\\\\Norv Software]\n\"InstallDir\"=\"C:\\\\x\0y\"\n"s +
                     "\"Other\"=\"ok\"\n";
  EXPECT_FALSE(find(file));  // the NUL cut the closing quote away
  ASSERT_TRUE(find(file, "Other"));
  EXPECT_EQ(find(file, "Other")->data, "ok\0"s);
}

TEST(BadRegistryFile, InvalidUtf8AndUtf16) {
  std::string file = registry_head + "[Software\\\\Norv Software]\n\"InstallDir\"=\"a\xFF\xC3(\\xd800b\"\n";
  ASSERT_TRUE(find(file));
  EXPECT_EQ(find(file)->data, "a(\xEF\xBF\xBD" "b\0"s);
  std::string utf16 = "\xFF\xFE" + utf8_to_utf16le("Windows Registry Editor Version 5.00\r\n"
                                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norv Software]\r\n"
                                                   "\"InstallDir\"=\"") +
                      "\x00\xDC"s + utf8_to_utf16le("x\"\r\n") + "\x41";
  ASSERT_TRUE(find(utf16));
  EXPECT_EQ(find(utf16)->data, "\xEF\xBF\xBDx\0"s);
}

TEST(BadRegistryFile, BinaryGarbageIsAMiss) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    EXPECT_FALSE(find(garbage(4096, seed)));
    EXPECT_FALSE(find(registry_head + garbage(4096, seed) + "\n[x]\n"));
  }
  std::string cut = registry_head + "[Software\\\\Norv Software]\n\"InstallDir\"=hex(1):41,00,\\\n";
  EXPECT_FALSE(find(cut));  // a hex list the file ends in the middle of
}

TEST(BadRegistryFile, AnOverlongLineIsSkippedAndReadingGoesOn) {
  std::string file = registry_head + "[Software\\\\Norv Software]\n\"InstallDir\"=\"" +
                     std::string(5u << 20, 'x') + "\"\n" + "\"Next\"=\"read\"\n";
  EXPECT_FALSE(find(file));
  ASSERT_TRUE(find(file, "Next"));
  std::string overlong_key = registry_head + norv_key + "[" + std::string(5u << 20, 'k') + "]\n" +
                             "\"InstallDir\"=\"not ours\"\n";
  EXPECT_EQ(find(overlong_key)->data, "C:\\Norv\0"s);
}

TEST(BadRegistryFile, MillionsOfKeys) {
  std::string file = registry_head;
  for (int i = 0; i < 200'000; ++i) file += "[Software\\\\K" + std::to_string(i) + "]\n\"v\"=\"x\"\n";
  file += norv_key;
  EXPECT_EQ(find(file)->data, "C:\\Norv\0"s);
}

}  // namespace
}  // namespace norv::settings
