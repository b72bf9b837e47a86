#include "platform/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/error.h"
#include "tests/support/temp_dir.h"

namespace norv::platform {
namespace {

namespace fs = std::filesystem;

TEST(ReplaceFile, CreatesAndReplacesLeavingNothingBeside) {
  test::TempDir dir;
  replace_file(dir / "a.ini", "one");
  EXPECT_EQ(test::read_file(dir / "a.ini"), "one");
  fs::permissions(dir / "a.ini", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  replace_file(dir / "a.ini", std::string(100000, 'x'));
  EXPECT_EQ(test::read_file(dir / "a.ini"), std::string(100000, 'x'));
  EXPECT_EQ(fs::status(dir / "a.ini").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ReplaceFile, FailuresNameTheFileAndChangeNothing) {
  test::TempDir dir;
  try {
    replace_file(dir / "missing" / "a.ini", "x");
    FAIL() << "expected an error";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find("a.ini"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));
  fs::create_directory(dir / "folder");
  EXPECT_THROW(replace_file(dir / "folder", "x"), IoError);
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

TEST(ReplaceFile, ASymbolicLinkKeepsPointingAtTheReplacedTarget) {
  test::TempDir dir;
  test::write_file(dir / "target.ini", "old");
  fs::create_symlink("target.ini", dir / "link.ini");
  replace_file(dir / "link.ini", "new");
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
  EXPECT_EQ(test::read_file(dir / "target.ini"), "new");
}

}  // namespace
}  // namespace norv::platform
