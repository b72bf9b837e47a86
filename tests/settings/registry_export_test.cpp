// Values read from registry export files, the format Windows' regedit and
// `reg export` write.

#include "settings/registry_file_scanner.h"

#include <gtest/gtest.h>

#include "settings/text_encoding.h"
#include "tests/support/temp_dir.h"

namespace norv::settings {
namespace {

using namespace std::literals;

constexpr std::string_view version5_export =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Norv Software]\r\n"
    "\"InstallDir\"=\"C:\\\\Program Files (x86)\\\\Norv\"\r\n"
    "@=\"default \\\"quoted\\\"\"\r\n"
    "\"Accent\"=\"Bj\xC3\xB8rn\"\r\n"
    "\"Literal\"=\"C:\\Single\\Backslash\"\r\n"
    "\"Count\"=dword:0000002a\r\n"
    "\"Expand\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18,19\r\n"
    "\"AfterLong\"=\"still read\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Norv Software]\r\n"
    "\"InstallDir\"=\"C:\\\\User\"\r\n"sv;

std::string value(std::string_view file, std::string name,
                  std::string sub_key = "Software\\Norv Software",
                  std::int32_t root = HKEY_LOCAL_MACHINE_ROOT) {
  std::optional<Registry::RawValue> found = find_registry_value(file, {root, std::move(sub_key), std::move(name)});
  if (!found) return "<missing>";
  return std::to_string(found->type) + ":" + found->data;
}

std::string as_utf16_export(std::string_view utf8) { return "\xFF\xFE" + utf8_to_utf16le(utf8); }

TEST(RegistryExport, Version5ReadsTheWow6432NodeKeyAsThe32BitView) {
  EXPECT_EQ(value(version5_export, "InstallDir"), "1:C:\\Program Files (x86)\\Norv\0"s);
  EXPECT_EQ(value(version5_export, "installdir", "SOFTWARE\\WOW6432Node\\NORV SOFTWARE"),
            "1:C:\\Program Files (x86)\\Norv\0"s);
  EXPECT_EQ(value(version5_export, "InstallDir", "Software\\Norv Software",
                  static_cast<std::int32_t>(0x80000001u)),
            "1:C:\\User\0"s);
}

TEST(RegistryExport, AnExportOfThePlainKeyIsReadWhenItHasNoWow6432Node) {
  std::string plain = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norv Software]\r\n"
                      "\"InstallDir\"=\"C:\\\\Norv\"\r\n";
  EXPECT_EQ(value(plain, "InstallDir"), "1:C:\\Norv\0"s);
}

TEST(RegistryExport, ValuesOfEveryKind) {
  EXPECT_EQ(value(version5_export, ""), "1:default \"quoted\"\0"s);
  EXPECT_EQ(value(version5_export, "Accent"), "1:Bj\xC3\xB8rn\0"s);
  EXPECT_EQ(value(version5_export, "Literal"), "1:C:\\Single\\Backslash\0"s);
  EXPECT_EQ(value(version5_export, "Count"), "4:\x2A\0\0\0"s);
  EXPECT_EQ(value(version5_export, "Expand"), "2:%PATH%\0"s);
  EXPECT_EQ(value(version5_export, "Multi"), "7:a\0b\0\0"s);
  EXPECT_EQ(value(version5_export, "Long").size(), 2u + 0x1A);
  EXPECT_EQ(value(version5_export, "AfterLong"), "1:still read\0"s);
}

TEST(RegistryExport, Utf16WithByteOrderMarkAsRegExportWritesIt) {
  std::string utf16 = as_utf16_export(version5_export);
  EXPECT_EQ(value(utf16, "InstallDir"), "1:C:\\Program Files (x86)\\Norv\0"s);
  EXPECT_EQ(value(utf16, "Accent"), "1:Bj\xC3\xB8rn\0"s);
  for (std::size_t piece : {1u, 3u, 4096u}) {  // pieces that split code units
    RegistryFileScanner scanner({HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", "Accent"});
    for (std::size_t at = 0; at < utf16.size(); at += piece) scanner.feed(std::string_view(utf16).substr(at, piece));
    std::optional<Registry::RawValue> found = scanner.finish();
    ASSERT_TRUE(found) << piece;
    EXPECT_EQ(found->data, "Bj\xC3\xB8rn\0"s);
  }
}

TEST(RegistryExport, Regedit4FilesAreAnsi) {
  std::string ansi = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norv Software]\r\n"
                     "\"InstallDir\"=\"C:\\\\Bj\xF8rn\"\r\n"
                     "\"Hex\"=hex(2):43,3a,5c,f8,00\r\n";
  EXPECT_EQ(value(ansi, "InstallDir"), "1:C:\\Bj\xC3\xB8rn\0"s);
  EXPECT_EQ(value(ansi, "Hex"), "2:C:\\\xC3\xB8\0"s);
}

TEST(RegistryExport, DeletionsInTheFileRemoveWhatCameBefore) {
  std::string file(version5_export);
  file += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Norv Software]\r\n\"Count\"=-\r\n";
  EXPECT_EQ(value(file, "Count"), "<missing>");
  EXPECT_EQ(value(file, "InstallDir"), "1:C:\\Program Files (x86)\\Norv\0"s);
  file += "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node]\r\n";
  EXPECT_EQ(value(file, "InstallDir"), "<missing>");
}

TEST(RegistryExport, OtherTextIsNotARegistryFile) {
  EXPECT_EQ(value("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norv Software]\r\n\"InstallDir\"=\"C:\\\\x\"\r\n",
                  "InstallDir"),
            "<missing>");
}

TEST(RegistryExport, AFileNamedByTheCallerIsReadFromDisk) {
  test::TempDir dir;
  test::write_file(dir / "norv.reg", as_utf16_export(version5_export));
  auto registry = make_registry_file(dir / "norv.reg");
  EXPECT_EQ(GetRegistryString(*registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", "InstallDir"),
            "C:\\Program Files (x86)\\Norv");
  auto missing = make_registry_file(dir / "missing.reg");
  EXPECT_EQ(GetRegistryString(*missing, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", "InstallDir", "d"),
            "d");
}

}  // namespace
}  // namespace norv::settings
