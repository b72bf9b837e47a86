// Values read from registry files as Wine writes them (system.reg of 64-bit
// and 32-bit prefixes), through the streaming scanner and through a prefix
// on disk.

#include "settings/registry_file_scanner.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace norv::settings {
namespace {

using namespace std::literals;

constexpr std::string_view wine64_system_reg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Norv Software] 1796689688\n"
    "#time=1dd86aaff9f0ffa\n"
    "\"InstallDir\"=\"C:\\\\Test\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Classes] 1796689688\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Norv Software] 1796689688\n"
    "#time=1dd86aaff9f0ffa\n"
    "@=\"the default\"\n"
    "\"binary\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
    "  17,18,19\n"
    "\"caf\\xe9\"=\"named with an accent\"\n"
    "\"dword\"=dword:12345678\n"
    "\"expand\"=str(2):\"%SystemRoot%\\\\x\"\n"
    "\"InstallDir\"=\"C:\\\\Test32\"\n"
    "\"multi\"=str(7):\"one\\0two\\0\"\n"
    "\"qword\"=hex(b):88,77,66,55,44,33,22,11\n"
    "\"str_prefix\"=str:\"also plain\"\n"
    "\"sz_escapes\"=\"back\\\\slash \\\"quote\\\" nl\\n tab\\t end\"\n"
    "\"sz_nul\"=\"abc\\0def\"\n"
    "\"sz_octal\"=\"\\1\\0012\\177\"\n"
    "\"sz_unicode\"=\"caf\\xe9 \\x20ac \\x4e2d\\x0041 \\xd83d\\xde00\"\n"
    "\"sz_raw_utf8\"=\"caf\xC3\xA9 bad\xFF!\"\n"
    "\"sz_zero_len\"=hex(1):\n"
    "\"sz_hex\"=hex(1):41,00,42,00,00,00\n"
    "  \"spaced\" = \"blanks around the equals sign\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Norv Software\\\\Sub\\\\Deeper Key] 1796689688\n"
    "\"deep\"=\"below\"\n"sv;

std::optional<Registry::RawValue> find(std::string_view file, std::string sub_key, std::string value,
                                       std::int32_t root = HKEY_LOCAL_MACHINE_ROOT) {
  return find_registry_value(file, {root, std::move(sub_key), std::move(value)});
}

std::string text(std::string_view file, std::string value,
                 std::string sub_key = "Software\\Norv Software") {
  std::optional<Registry::RawValue> found = find(file, std::move(sub_key), std::move(value));
  if (!found) return "<missing>";
  return std::to_string(found->type) + ":" + found->data;
}

TEST(WineRegistryFile, A64BitPrefixIsReadThroughItsWow6432NodeKey) {
  EXPECT_EQ(text(wine64_system_reg, "InstallDir"), "1:C:\\Test32\0"s);
  EXPECT_EQ(text(wine64_system_reg, "InstallDir", "Software\\Wow6432Node\\Norv Software"), "1:C:\\Test32\0"s);
  EXPECT_EQ(text(wine64_system_reg, "deep", "Software\\Norv Software\\Sub\\Deeper Key"), "1:below\0"s);
  EXPECT_EQ(text(wine64_system_reg, "anything", "Software\\Norv Software\\Sub"), "<missing>");
}

TEST(WineRegistryFile, A32BitPrefixHasOneView) {
  std::string wine32 = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
                       "#arch=win32\n\n[Software\\\\Norv Software] 1\n\"InstallDir\"=\"C:\\\\Test\"\n";
  EXPECT_EQ(text(wine32, "InstallDir"), "1:C:\\Test\0"s);
}

TEST(WineRegistryFile, WithoutAWow6432NodeKeyThereIsNothingToRedirect) {
  std::string bare = "WINE REGISTRY Version 2\n#arch=win64\n[Software\\\\Norv Software]\n\"InstallDir\"=\"C:\\\\Only\"\n";
  EXPECT_EQ(text(bare, "InstallDir"), "1:C:\\Only\0"s);
}

TEST(WineRegistryFile, NamesIgnoreCase) {
  EXPECT_EQ(text(wine64_system_reg, "INSTALLDIR", "SOFTWARE\\norv software\\"), "1:C:\\Test32\0"s);
  EXPECT_EQ(text(wine64_system_reg, "CAF\xC3\x89"), "1:named with an accent\0"s);
  EXPECT_EQ(text(wine64_system_reg, "spaced"), "1:blanks around the equals sign\0"s);
}

TEST(WineRegistryFile, EveryValueTypeKeepsItsType) {
  EXPECT_EQ(text(wine64_system_reg, ""), "1:the default\0"s);
  EXPECT_EQ(text(wine64_system_reg, "str_prefix"), "1:also plain\0"s);
  EXPECT_EQ(text(wine64_system_reg, "expand"), "2:%SystemRoot%\\x\0"s);
  EXPECT_EQ(text(wine64_system_reg, "multi"), "7:one\0two\0\0"s);
  EXPECT_EQ(text(wine64_system_reg, "dword"), "4:\x78\x56\x34\x12"s);
  EXPECT_EQ(text(wine64_system_reg, "qword"), "11:\x88\x77\x66\x55\x44\x33\x22\x11"s);
  std::string binary = "3:";
  for (char c = 0; c < 0x1A; ++c) binary += c;
  EXPECT_EQ(text(wine64_system_reg, "binary"), binary);
  EXPECT_EQ(text(wine64_system_reg, "sz_zero_len"), "1:");
  EXPECT_EQ(text(wine64_system_reg, "sz_hex"), "1:AB\0"s);
}

TEST(WineRegistryFile, EscapesDecodeToUtf8) {
  EXPECT_EQ(text(wine64_system_reg, "sz_escapes"), "1:back\\slash \"quote\" nl\n tab\t end\0"s);
  EXPECT_EQ(text(wine64_system_reg, "sz_nul"), "1:abc\0def\0"s);
  EXPECT_EQ(text(wine64_system_reg, "sz_octal"), "1:\x01\x01" "2\x7F\0"s);
  EXPECT_EQ(text(wine64_system_reg, "sz_unicode"),
            "1:caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD" "A \xF0\x9F\x98\x80\0"s);
  EXPECT_EQ(text(wine64_system_reg, "sz_raw_utf8"), "1:caf\xC3\xA9 bad!\0"s);
}

TEST(WineRegistryFile, OtherHivesAndMalformedFilesAreMisses) {
  EXPECT_FALSE(find(wine64_system_reg, "Software\\Norv Software", "InstallDir",
                    static_cast<std::int32_t>(0x80000001u)));
  EXPECT_FALSE(find(wine64_system_reg, "\\Software\\Norv Software", "InstallDir"));
  std::string wrong_header(wine64_system_reg);
  wrong_header.replace(0, 23, "WINE REGISTRY Version 1");
  EXPECT_FALSE(find(wrong_header, "Software\\Norv Software", "InstallDir"));
  EXPECT_FALSE(find("", "Software\\Norv Software", "InstallDir"));
}

TEST(WineRegistryFile, MalformedLinesAreSkippedAndLaterValuesWin) {
  std::string file = "WINE REGISTRY Version 2\n#arch=win32\n"
                     "[Software\\\\Norv Software]\n"
                     "\"InstallDir\"=\"first\"\n"
                     "\"InstallDir\"=\"unterminated\n"
                     "\"InstallDir\"=bogus:1\n"
                     "[Software\\\\Broken\n"
                     "\"InstallDir\"=\"not in the key\"\n"
                     "[Software\\\\Norv Software]\n"
                     "\"Other\"=\"x\"\n";
  EXPECT_EQ(text(file, "InstallDir"), "1:first\0"s);
  file += "[Software\\\\Norv Software]\n\"InstallDir\"=\"last\"\n";
  EXPECT_EQ(text(file, "InstallDir"), "1:last\0"s);
}

TEST(WineRegistryFile, TheScannerTakesTheFileInAnyPieces) {
  for (std::size_t piece : {1u, 2u, 7u, 64u}) {
    RegistryFileScanner scanner({HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", "binary"});
    for (std::size_t at = 0; at < wine64_system_reg.size(); at += piece)
      scanner.feed(wine64_system_reg.substr(at, piece));
    std::optional<Registry::RawValue> value = scanner.finish();
    ASSERT_TRUE(value) << "pieces of " << piece;
    EXPECT_EQ(value->data.size(), 0x1Au);
  }
}

TEST(WineRegistryFile, EscapedBracketsBelongToTheKeyName) {
  std::string file = "WINE REGISTRY Version 2\n#arch=win32\n"
                     "[Software\\\\Odd\\]Name\\[x] 1\n\"v\"=\"odd\"\n";
  EXPECT_EQ(text(file, "v", "Software\\Odd]Name[x"), "1:odd\0"s);
}

TEST(WinePrefixRegistry, ReadsSystemRegOfThePrefix) {
  test::TempDir prefix;
  auto registry = make_wine_prefix_registry(prefix.path());
  EXPECT_EQ(GetRegistryString(*registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software",
                              "InstallDir", "none"),
            "none");  // no system.reg yet
  test::write_file(prefix / "system.reg", wine64_system_reg);
  EXPECT_EQ(GetRegistryString(*registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software",
                              "InstallDir"),
            "C:\\Test32");
  EXPECT_EQ(GetRegistryString(*registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software",
                              "expand", "dflt"),
            "dflt");
  test::write_file(prefix / "user.reg",
                   "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                   "#arch=win64\n\n[Software\\\\Norv Software] 1\n\"InstallDir\"=\"C:\\\\Mine\"\n");
  EXPECT_EQ(GetRegistryString(*registry, static_cast<std::int32_t>(0x80000001u),
                              "Software\\Norv Software", "InstallDir"),
            "C:\\Mine");  // HKEY_CURRENT_USER\Software is shared by both views
  std::filesystem::remove(prefix / "system.reg");
  std::filesystem::create_directory(prefix / "system.reg");
  EXPECT_EQ(GetRegistryString(*registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software",
                              "InstallDir", "none"),
            "none");
}

}  // namespace
}  // namespace norv::settings
