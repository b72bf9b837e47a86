#include "platform/file.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/error.h"
#include "tests/support/temp_dir.h"

namespace norv::platform {
namespace {

TEST(File, WritesAndReadsAtOffsets) {
  test::TempDir dir;
  File file = File::open(dir / "data.bin", FileMode::create_new);
  std::vector<std::uint8_t> bytes{1, 2, 3, 4};
  file.write_at(10, bytes);
  file.sync();
  EXPECT_EQ(file.size(), 14u);
  std::vector<std::uint8_t> back(4);
  file.read_at(10, back);
  EXPECT_EQ(back, bytes);
}

TEST(File, ShortReadIsAnErrorNamingTheFile) {
  test::TempDir dir;
  test::write_file(dir / "short.bin", "abc");
  File file = File::open(dir / "short.bin", FileMode::read_only);
  std::vector<std::uint8_t> out(8);
  try {
    file.read_at(0, out);
    FAIL() << "expected an error";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find("short.bin"), std::string::npos);
  }
}

TEST(File, OpeningAMissingFileNamesIt) {
  test::TempDir dir;
  try {
    File::open(dir / "missing.mdb", FileMode::read_only);
    FAIL() << "expected an error";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.mdb"), std::string::npos);
  }
}

TEST(File, CreateNewRefusesAnExistingFile) {
  test::TempDir dir;
  test::write_file(dir / "there.bin", "x");
  EXPECT_THROW(File::open(dir / "there.bin", FileMode::create_new), IoError);
}

}  // namespace
}  // namespace norv::platform
