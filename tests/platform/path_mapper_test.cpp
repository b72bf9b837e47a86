// Windows paths mapped into a Wine prefix built by the test: drives as
// symbolic links, mixed-case folders and files, a UNC share.

#include "platform/path_mapper.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace norv::platform {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32  // Wine prefixes exist on Linux only
class WinePathMapperTest : public ::testing::Test {
 protected:
  WinePathMapperTest() {
    fs::create_directories(dosdevices());
    fs::create_directories(drive_c() / "Norv" / "MixedCase");
    fs::create_directories(drive_d() / "Data" / "2024");
    fs::create_directories(share() / "Company");
    test::write_file(drive_c() / "Norv" / "MixedCase" / "File.TXT", "x");
    test::write_file(drive_c() / "Norv" / "a.txt", "lower");
    test::write_file(drive_c() / "Norv" / "A.TXT", "upper");
    test::write_file(drive_c() / "Fendrel.mdb", "root");
    fs::create_directory_symlink(drive_c(), dosdevices() / "c:");
    fs::create_directory_symlink(drive_d(), dosdevices() / "d:");
    fs::create_directories(dosdevices() / "unc" / "Server");
    fs::create_directory_symlink(share(), dosdevices() / "unc" / "Server" / "Share");
  }

  fs::path dosdevices() const { return dir_ / "prefix" / "dosdevices"; }
  fs::path drive_c() const { return dir_ / "prefix" / "drive_c"; }
  fs::path drive_d() const { return dir_ / "elsewhere"; }
  fs::path share() const { return dir_ / "share"; }

  // The file the mapped path names, by its contents or its real location.
  fs::path map(std::string_view windows_path) const { return mapper_->to_native(windows_path); }

  test::TempDir dir_;
  std::unique_ptr<PathMapper> mapper_ = make_wine_path_mapper(dir_ / "prefix");
};

TEST_F(WinePathMapperTest, DrivesResolveThroughDosdevices) {
  EXPECT_EQ(map("C:\\Norv\\a.txt"), dosdevices() / "c:" / "Norv" / "a.txt");
  EXPECT_TRUE(fs::is_directory(map("d:\\Data\\2024")));
  EXPECT_FALSE(fs::exists(map("E:\\nothing")));  // no such drive
}

TEST_F(WinePathMapperTest, ComponentsAreFoundWithoutRegardToCaseExactSpellingFirst) {
  EXPECT_EQ(fs::canonical(map("C:\\NORV\\MIXEDCASE\\FILE.TXT")),
            fs::canonical(drive_c() / "Norv" / "MixedCase" / "File.TXT"));
  EXPECT_EQ(test::read_file(map("C:\\norv\\a.txt")), "lower");
  EXPECT_EQ(test::read_file(map("C:\\norv\\A.TXT")), "upper");
  EXPECT_EQ(test::read_file(map("C:\\norv\\A.txt")), "upper");  // no exact match: the first by name
  EXPECT_FALSE(fs::exists(map("C:\\Norv\\Missing\\File.TXT")));
}

TEST_F(WinePathMapperTest, SeparatorsAndNormalisationAsWin32) {
  EXPECT_TRUE(fs::exists(map("C:/Norv//MixedCase\\\\File.TXT")));
  EXPECT_TRUE(fs::exists(map("C:\\Norv\\Other\\..\\.\\MixedCase\\File.TXT")));
  EXPECT_TRUE(fs::exists(map("C:\\Norv\\a.txt. ")));  // trailing dots and blanks of the last name
  EXPECT_TRUE(fs::exists(map("\\\\?\\C:\\Norv\\a.txt")));
  EXPECT_EQ(test::read_file(map("C:\\..\\..\\Fendrel.mdb")), "root");  // never above the root
}

TEST_F(WinePathMapperTest, ALeadingBackslashIsTheRootOfDriveC) {
  EXPECT_EQ(test::read_file(map("\\Fendrel.mdb")), "root");
}

TEST_F(WinePathMapperTest, UncPathsGoThroughTheUncFolder) {
  EXPECT_TRUE(fs::is_directory(map("\\\\server\\SHARE\\company")));
  EXPECT_TRUE(fs::is_directory(map("\\\\?\\UNC\\Server\\Share\\Company")));
  EXPECT_FALSE(fs::exists(map("\\\\other\\share")));
}

// The tool appends "\NORV.INI" and "\Fendrel.mdb" to the directories it
// reads: after a native directory they must still name its files.
TEST_F(WinePathMapperTest, NativeAbsolutePathsAreUsedAsTheyAre) {
  EXPECT_EQ(map("/srv/Norv/NORV.INI"), fs::path("/srv/Norv/NORV.INI"));
  EXPECT_EQ(map(""), fs::path());
  const fs::path native = drive_c() / "Share";
  fs::create_directories(native);
  test::write_file(native / "norv.ini", "native");
  EXPECT_EQ(test::read_file(map(native.string() + "\\NORV.INI")), "native");
  EXPECT_EQ(map(native.string() + "\\Data\\Fendrel.mdb"), native / "Data" / "Fendrel.mdb");
}

TEST_F(WinePathMapperTest, DosDeviceNamesAreNotFiles) {
  test::write_file(drive_c() / "Norv" / "nul.ini", "a file Windows cannot reach");
  EXPECT_EQ(map("C:\\Norv\\NUL.ini"), fs::path("/dev/null"));
  EXPECT_EQ(map("C:\\Norv\\com1"), fs::path("/dev/null"));
  EXPECT_NE(map("C:\\Norv\\nully.ini"), fs::path("/dev/null"));
}

#endif

TEST(IsOrdinaryFile, OnlyVisibleRegularFilesCount) {
  test::TempDir dir;
  test::write_file(dir / "Fendrel.mdb", "x");
  test::write_file(dir / ".hidden.mdb", "x");
  fs::create_directory(dir / "folder.mdb");
  EXPECT_TRUE(is_ordinary_file(dir / "Fendrel.mdb"));
  EXPECT_FALSE(is_ordinary_file(dir / ".hidden.mdb"));
  EXPECT_FALSE(is_ordinary_file(dir / "folder.mdb"));
  EXPECT_FALSE(is_ordinary_file(dir / "missing.mdb"));
  EXPECT_FALSE(is_ordinary_file(dir / "*.mdb"));  // no wildcards
#ifndef _WIN32  // symbolic links need a privilege on Windows
  fs::create_symlink(dir / "Fendrel.mdb", dir / "link.mdb");
  EXPECT_TRUE(is_ordinary_file(dir / "link.mdb"));
  EXPECT_FALSE(is_ordinary_file("/dev/null"));
#endif
}

TEST(IsOrdinaryFile, DotFoldersAboveTheFileDoNotHideIt) {
  test::TempDir dir;
  fs::create_directories(dir / ".wine" / "drive_c");
  test::write_file(dir / ".wine" / "drive_c" / "Fendrel.mdb", "x");
  EXPECT_TRUE(is_ordinary_file(dir / ".wine" / "drive_c" / "Fendrel.mdb"));
}

}  // namespace
}  // namespace norv::platform
