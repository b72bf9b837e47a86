// The file-existence test on Windows reads the file's attributes: hidden and
// system files do not count, as Dir with normal attributes skips them.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/path_mapper.h"
#include "tests/support/temp_dir.h"

namespace norv::platform {
namespace {

TEST(WindowsOrdinaryFile, HiddenAndSystemFilesDoNotCount) {
  test::TempDir dir;
  for (const char* name : {"plain.mdb", "readonly.mdb", "hidden.mdb", "system.mdb"})
    test::write_file(dir / name, "x");
  ASSERT_TRUE(SetFileAttributesW((dir / "readonly.mdb").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesW((dir / "hidden.mdb").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW((dir / "system.mdb").c_str(), FILE_ATTRIBUTE_SYSTEM));
  EXPECT_TRUE(is_ordinary_file(dir / "plain.mdb"));
  EXPECT_TRUE(is_ordinary_file(dir / "readonly.mdb"));
  EXPECT_FALSE(is_ordinary_file(dir / "hidden.mdb"));
  EXPECT_FALSE(is_ordinary_file(dir / "system.mdb"));
  EXPECT_FALSE(is_ordinary_file(dir / "nul.mdb")) << "a DOS device, not a file";
  SetFileAttributesW((dir / "readonly.mdb").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace norv::platform
