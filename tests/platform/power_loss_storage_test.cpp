// The crash tests are only as strong as the disk they run on: if it kept a
// write a power loss may lose, or lost one it must keep, they would pass on
// an engine that syncs nothing. So the model itself is pinned down here.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/error.h"
#include "tests/support/power_loss_storage.h"
#include "tests/support/temp_dir.h"

namespace norv::test {
namespace {

std::span<const std::uint8_t> bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class PowerLossModel : public ::testing::Test {
 protected:
  PowerLossModel() {
    write_file(dir_ / "source", "....");
    storage_.add_file(path_, dir_ / "source");
  }
  TempDir dir_;
  std::filesystem::path path_ = "/db.mdb";
  PowerLossStorage storage_;
};

TEST_F(PowerLossModel, KeepsSyncedWritesAndLosesAnySubsetOfTheRest) {
  auto file = storage_.open_for_update(path_);
  file->write_at(0, bytes("A"));
  file->sync();
  file->write_at(1, bytes("B"));
  file->write_at(6, bytes("C"));  // past the end: a hole of zeros before it
  EXPECT_TRUE(storage_.has_unsynced_operations(path_));
  EXPECT_EQ(storage_.contents(path_), std::string("AB..\0\0C", 7));

  std::set<std::string> states;
  for (const PowerLoss& loss : storage_.power_losses(path_))
    states.insert(storage_.after(path_, loss));
  const std::set<std::string> expected{"....", "A...", "AB..", std::string("A...\0\0C", 7),
                                       std::string("AB..\0\0C", 7)};
  EXPECT_EQ(states, expected);

  file->sync();
  EXPECT_FALSE(storage_.has_unsynced_operations(path_));
}

TEST_F(PowerLossModel, ACutAndAWriteMayReachTheDiskInEitherOrder) {
  auto file = storage_.open_for_update(path_);
  file->write_at(4, bytes("EF"));
  file->truncate(4);
  std::set<std::string> states;
  for (const PowerLoss& loss : storage_.power_losses(path_))
    states.insert(storage_.after(path_, loss));
  EXPECT_EQ(states, (std::set<std::string>{"....", "....EF"}));
}

TEST_F(PowerLossModel, AFullDiskRefusesGrowingWritesOnly) {
  storage_.fill_disk_past(5);
  auto file = storage_.open_for_update(path_);
  file->write_at(0, bytes("XXXXX"));
  try {
    file->write_at(5, bytes("Y"));
    ADD_FAILURE() << "a write past the limit went through";
  } catch (const IoError& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr("free some space"));
  }
  EXPECT_EQ(storage_.contents(path_), "XXXXX");
}

TEST_F(PowerLossModel, ReadersCannotWriteAndUpdatersExcludeEachOther) {
  auto reader = storage_.open(path_, platform::FileMode::read_only);
  EXPECT_THROW(reader->write_at(0, bytes("Z")), IoError);
  auto updater = storage_.open_for_update(path_);
  EXPECT_THROW(storage_.open_for_update(path_), InUseError);
  updater.reset();
  EXPECT_NO_THROW(storage_.open_for_update(path_));
}

}  // namespace
}  // namespace norv::test
