// The journal file on its own: what the writer encodes reads back whole,
// and a journal that a power loss cut short or that lost bytes is never
// taken for one, since restoring from it would write garbage pages.

#include <gtest/gtest.h>

#include "jet/write/rollback_journal.h"

namespace norv::jet {
namespace {

JournalContents two_pages() {
  JournalContents contents;
  contents.page_size = 2048;
  contents.length_before = 3 * 2048;
  contents.length_after = 4 * 2048;
  contents.pages.push_back({2, std::vector<std::uint8_t>(2048, 0x11),
                            {std::vector<std::uint8_t>(2048, 0x22),
                             std::vector<std::uint8_t>(2048, 0x33)}});
  contents.pages.push_back({3, {}, {std::vector<std::uint8_t>(2048, 0x44)}});
  return contents;
}

TEST(RollbackJournal, ReadsBackWhatWasWritten) {
  const JournalContents written = two_pages();
  const std::optional<JournalContents> read = decode_journal(encode_journal(written));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->page_size, written.page_size);
  EXPECT_EQ(read->length_before, written.length_before);
  EXPECT_EQ(read->length_after, written.length_after);
  ASSERT_EQ(read->pages.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(read->pages[i].number, written.pages[i].number);
    EXPECT_EQ(read->pages[i].original, written.pages[i].original);
    EXPECT_EQ(read->pages[i].images, written.pages[i].images);
  }
}

TEST(RollbackJournal, ACutOrDamagedJournalIsNotOne) {
  const std::vector<std::uint8_t> bytes = encode_journal(two_pages());
  for (std::size_t length = 0; length < bytes.size(); length += 97) {
    SCOPED_TRACE("cut at " + std::to_string(length));
    EXPECT_FALSE(decode_journal(Bytes(bytes).first(length)));
  }
  for (std::size_t at = 0; at < bytes.size(); at += 89) {
    SCOPED_TRACE("byte " + std::to_string(at) + " changed");
    std::vector<std::uint8_t> damaged = bytes;
    damaged[at] ^= 0x01;
    EXPECT_FALSE(decode_journal(damaged));
  }
  // A hole of zeros where a write did not reach the disk.
  std::vector<std::uint8_t> hole = bytes;
  std::fill(hole.begin() + 100, hole.begin() + 612, 0);
  EXPECT_FALSE(decode_journal(hole));
}

}  // namespace
}  // namespace norv::jet
