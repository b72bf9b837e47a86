// CPrivateIni over the project's private-profile functions on real files.

#include "settings/private_ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/error.h"
#include "platform/path_mapper.h"
#include "tests/support/temp_dir.h"

namespace norv::settings {
namespace {

namespace fs = std::filesystem;

class PrivateIniTest : public ::testing::Test {
 protected:
  // A Wine prefix whose drive C: is a folder of the test.
  PrivateIniTest() {
    fs::create_directories(dir_ / "prefix" / "dosdevices");
    fs::create_directories(dir_ / "drive_c" / "Norv");
    fs::create_directory_symlink(dir_.path() / "drive_c", dir_ / "prefix" / "dosdevices" / "c:");
    ini_.FilePath("C:\\Norv\\NORV.INI");
  }

  fs::path file() const { return dir_ / "drive_c" / "Norv" / "NORV.INI"; }

  test::TempDir dir_;
  std::unique_ptr<platform::PathMapper> paths_ = platform::make_wine_path_mapper(dir_ / "prefix");
  std::unique_ptr<PrivateProfile> profile_ = make_private_profile(*paths_);
  CPrivateIni ini_{*profile_};
};

TEST_F(PrivateIniTest, ReadsTheSuitesKeysExactly) {
  test::write_file(file(), "[Fendrel]\r\nServersMDBPath=C:\\Norv\\Data\r\n[Brenvik]\r\nDatabaseDir=D:\\BV\r\n");
  EXPECT_EQ(ini_.GetStringSetting("Fendrel", "ServersMDBPath", ""), "C:\\Norv\\Data");
  EXPECT_EQ(ini_.GetStringSetting("Brenvik", "DatabaseDir", ""), "D:\\BV");
  EXPECT_EQ(ini_.GetStringSetting("Fendrel", "Missing", ""), "");
  EXPECT_EQ(ini_.GetStringSetting("Fendrel", "Missing", "dflt"), "dflt");
}

TEST_F(PrivateIniTest, TheFileNameIsAWindowsPathLookedUpWithoutRegardToCase) {
  test::write_file(dir_ / "drive_c" / "Norv" / "norv.ini", "[A]\r\nk=found\r\n");
  EXPECT_EQ(ini_.GetStringSetting("A", "k", ""), "found");
}

TEST_F(PrivateIniTest, AMissingFileReadsAsDefaultsAndIsNotCreatedByReads) {
  EXPECT_EQ(ini_.GetStringSetting("Fendrel", "ServersMDBPath", ""), "");
  EXPECT_EQ(ini_.GetIntSetting("A", "n", -7), -7);
  EXPECT_FALSE(fs::exists(file()));
}

TEST_F(PrivateIniTest, LongValuesReadAsTheirFirst254Characters) {
  test::write_file(file(), "[A]\r\nk=" + std::string(300, 'v') + "\r\n");
  EXPECT_EQ(ini_.GetStringSetting("A", "k", ""), std::string(254, 'v'));
}

TEST_F(PrivateIniTest, IntegersAreSixteenBitWithOverflowOutsideTheRange) {
  test::write_file(file(), "[A]\r\ntwelve=12\r\nbig=40000\r\nminus=-5\r\nwrapped=4294967295\r\nmax=65535\r\n");
  EXPECT_EQ(ini_.GetIntSetting("A", "twelve", 0), 12);
  EXPECT_EQ(ini_.GetIntSetting("A", "minus", 0), -5);
  EXPECT_EQ(ini_.GetIntSetting("A", "wrapped", 0), -1);
  EXPECT_EQ(ini_.GetIntSetting("A", "missing", -300), -300);
  EXPECT_THROW(ini_.GetIntSetting("A", "max", 0), OverflowError);
  try {
    ini_.GetIntSetting("A", "big", 0);
    FAIL() << "expected an overflow";
  } catch (const OverflowError& e) {
    EXPECT_NE(std::string(e.what()).find("NORV.INI"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("40000"), std::string::npos) << e.what();
  }
}

TEST_F(PrivateIniTest, WritesCreateReplaceAndReportSuccess) {
  EXPECT_TRUE(ini_.SetIntSetting("A", "n", -5));
  EXPECT_EQ(test::read_file(file()), "[A]\r\nn=-5\r\n");
  EXPECT_TRUE(ini_.SetStringSetting("A", "s", "text"));
  EXPECT_TRUE(ini_.SetIntSetting("A", "n", 42));
  EXPECT_EQ(test::read_file(file()), "[A]\r\nn=42\r\ns=text\r\n");
  EXPECT_EQ(ini_.GetIntSetting("A", "n", 0), 42);
}

TEST_F(PrivateIniTest, DeletingAKeyOrASectionLeavesTheRestAlone) {
  test::write_file(file(), "[A]\r\nk=1\r\nj=2\r\n[B]\r\nx=3\r\n");
  EXPECT_TRUE(ini_.DeleteSetting("A", "k"));
  EXPECT_EQ(ini_.GetStringSetting("A", "k", "gone"), "gone");
  EXPECT_EQ(ini_.GetStringSetting("A", "j", ""), "2");
  EXPECT_TRUE(ini_.DeleteSection("a"));
  EXPECT_EQ(ini_.GetStringSetting("A", "j", "gone"), "gone");
  EXPECT_EQ(test::read_file(file()), "[B]\r\nx=3\r\n");
}

TEST_F(PrivateIniTest, WritesIntoAMissingFolderFailAndCreateNothing) {
  ini_.FilePath("C:\\Nowhere\\NORV.INI");
  EXPECT_FALSE(ini_.SetStringSetting("A", "k", "v"));
  EXPECT_FALSE(ini_.SetIntSetting("A", "k", 1));
  EXPECT_FALSE(fs::exists(dir_ / "drive_c" / "Nowhere"));
}

TEST_F(PrivateIniTest, AnEmptyFilePathReadsDefaultsAndRefusesWrites) {
  CPrivateIni fresh(*profile_);
  EXPECT_EQ(fresh.FilePath(), "");
  EXPECT_EQ(fresh.GetStringSetting("A", "k", "dflt"), "dflt");
  EXPECT_EQ(fresh.GetIntSetting("A", "k", 3), 3);
  EXPECT_FALSE(fresh.SetStringSetting("A", "k", "v"));
  EXPECT_FALSE(fresh.SetIntSetting("A", "k", 1));
  EXPECT_FALSE(fresh.DeleteSetting("A", "k"));
  EXPECT_FALSE(fresh.DeleteSection("A"));
  EXPECT_TRUE(fs::is_empty(dir_ / "drive_c" / "Norv"));
}

TEST_F(PrivateIniTest, AReadOnlyFileIsNotChanged) {
  test::write_file(file(), "[A]\r\nk=1\r\n");
  fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(ini_.SetStringSetting("A", "k", "2"));
  EXPECT_FALSE(ini_.DeleteSection("A"));
  EXPECT_EQ(test::read_file(file()), "[A]\r\nk=1\r\n");
}

TEST_F(PrivateIniTest, AReplacedFileKeepsItsPermissionsAndSymbolicLinks) {
  fs::path real = dir_ / "drive_c" / "real.ini";
  test::write_file(real, "[A]\r\nk=1\r\n");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  fs::create_symlink(real, file());
  EXPECT_TRUE(ini_.SetStringSetting("A", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(file()));
  EXPECT_EQ(test::read_file(real), "[A]\r\nk=2\r\n");
  EXPECT_EQ(fs::status(real).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  for (const auto& entry : fs::directory_iterator(dir_ / "drive_c"))  // no temporary left behind
    EXPECT_TRUE(entry.path().filename() == "real.ini" || entry.path().filename() == "Norv")
        << entry.path();
}

TEST_F(PrivateIniTest, SomethingThatIsNotAFileIsNeitherReadNorReplaced) {
  fs::create_directory(file());
  EXPECT_EQ(ini_.GetStringSetting("A", "k", "dflt"), "dflt");
  EXPECT_FALSE(ini_.SetStringSetting("A", "k", "v"));
  EXPECT_TRUE(fs::is_directory(file()));
  ini_.FilePath("C:\\Norv\\nul.ini");  // a DOS device name
  EXPECT_FALSE(ini_.SetStringSetting("A", "k", "v"));
  EXPECT_EQ(ini_.GetStringSetting("A", "k", ""), "");
}

TEST_F(PrivateIniTest, ABareFileNameLiesInTheWindowsFolder) {
  fs::create_directories(dir_ / "drive_c" / "windows");
  ini_.FilePath("bare.ini");
  EXPECT_TRUE(ini_.SetStringSetting("A", "k", "v"));
  EXPECT_EQ(test::read_file(dir_ / "drive_c" / "windows" / "bare.ini"), "[A]\r\nk=v\r\n");
}

}  // namespace
}  // namespace norv::settings
