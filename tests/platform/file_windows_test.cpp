// What only the Windows file layer does: sharing modes and the system's own
// error texts.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file.h"
#include "tests/support/temp_dir.h"

namespace norv::platform {
namespace {

class ExclusiveHandle {
 public:
  explicit ExclusiveHandle(const std::filesystem::path& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~ExclusiveHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

TEST(WindowsFile, AFileOpenWithoutSharingIsReportedInUse) {
  test::TempDir dir;
  test::write_file(dir / "Fendrel.mdb", "data");
  ExclusiveHandle other(dir / "Fendrel.mdb");
  ASSERT_TRUE(other.valid());
  try {
    File::open(dir / "Fendrel.mdb", FileMode::read_write);
    FAIL() << "expected the file to be in use";
  } catch (const InUseError& e) {
    std::string message = e.what();
    EXPECT_NE(message.find("Fendrel.mdb"), std::string::npos) << message;
    EXPECT_NE(message.find("close it"), std::string::npos) << message;
  }
}

TEST(WindowsFile, OurOpenFileLeavesOthersReadingAndWriting) {
  test::TempDir dir;
  test::write_file(dir / "shared.mdb", "0123456789");
  File file = File::open(dir / "shared.mdb", FileMode::read_write);
  HANDLE other = CreateFileW((dir / "shared.mdb").c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(other, INVALID_HANDLE_VALUE);
  CloseHandle(other);
}

TEST(WindowsFile, ErrorsCarryTheSystemTextWithoutItsFullStop) {
  std::string text = windows_error_text(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(windows_error_text(ERROR_ACCESS_DENIED), text);
}

TEST(WindowsFile, PositionedWritesAndTruncationKeepOtherPages) {
  test::TempDir dir;
  File file = File::open(dir / "pages.bin", FileMode::create_new);
  std::vector<std::uint8_t> first(4096, 0xAA);
  std::vector<std::uint8_t> second(4096, 0x55);
  file.write_at(4096, second);
  file.write_at(0, first);
  file.truncate(6000);
  EXPECT_EQ(file.size(), 6000u);
  std::vector<std::uint8_t> back(1904);
  file.read_at(4096, back);
  EXPECT_EQ(back, std::vector<std::uint8_t>(1904, 0x55));
  file.sync();
  std::vector<std::uint8_t> past_end(8);
  EXPECT_THROW(file.read_at(5996, past_end), IoError);
}

}  // namespace
}  // namespace norv::platform
