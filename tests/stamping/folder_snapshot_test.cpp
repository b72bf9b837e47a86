#include "stamping/folder_snapshot.h"

#include <gtest/gtest.h>

#include "tests/stamping/stamping_doubles.h"
#include "tests/support/temp_dir.h"

namespace norv::stamping {
namespace {

class FolderSnapshotTest : public ::testing::Test {
 protected:
  FolderSnapshotTest() : paths(dir.path()) {
    std::filesystem::create_directories(paths.native("C:\\B"));
    test::write_file(paths.native("C:\\B\\BV0001.mdb"), "");
    test::write_file(paths.native("C:\\B\\bv0002.MDB"), "");
    std::filesystem::create_directories(paths.native("C:\\B\\BV0003.mdb"));
  }
  test::TempDir dir;
  test::FolderPathMapper paths;
};

TEST_F(FolderSnapshotTest, OnlyNamesTheFolderLacksInAnyCaseAreCertainlyAbsent) {
  FolderSnapshot snapshot(paths, "C:\\B");
  EXPECT_TRUE(snapshot.certainly_absent("C:\\B\\BV0000.mdb"));
  EXPECT_TRUE(snapshot.certainly_absent("C:\\B\\BV32767.mdb"));
  EXPECT_FALSE(snapshot.certainly_absent("C:\\B\\BV0001.mdb"));
  EXPECT_FALSE(snapshot.certainly_absent("C:\\B\\BV0002.mdb")) << "listed as bv0002.MDB";
  EXPECT_FALSE(snapshot.certainly_absent("C:\\B\\BV0003.mdb")) << "the file system decides";
}

TEST_F(FolderSnapshotTest, PathsItCannotJudgeGoToTheFileSystem) {
  FolderSnapshot snapshot(paths, "C:\\B");
  EXPECT_FALSE(snapshot.certainly_absent("C:\\Other\\BV0000.mdb"));
  EXPECT_FALSE(snapshot.certainly_absent("C:\\B\\Sub\\BV0000.mdb"));
  EXPECT_FALSE(snapshot.certainly_absent("C:\\B\\BV\xC3\x84.mdb")) << "non-ASCII name";
  EXPECT_FALSE(snapshot.certainly_absent("C:\\B\\"));
}

TEST_F(FolderSnapshotTest, AMissingFolderHoldsNothingAndDirectoryTextsAreUsedAsTheyStand) {
  FolderSnapshot missing(paths, "C:\\Nowhere");
  EXPECT_TRUE(missing.certainly_absent("C:\\Nowhere\\BV0001.mdb"));
  FolderSnapshot doubled(paths, "C:\\B\\");
  EXPECT_FALSE(doubled.certainly_absent("C:\\B\\\\BV0001.mdb"));
  EXPECT_TRUE(doubled.certainly_absent("C:\\B\\\\BV0000.mdb"));
}

}  // namespace
}  // namespace norv::stamping
