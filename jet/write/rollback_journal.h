#pragma once

// The rollback journal of one update. It lies beside the database (the
// database's file name with ".norv-journal" added), is written and made
// durable before the first page of the database changes, and is removed
// once the last page is durable. It holds every page the update overwrites
// as it was, every image the update writes to a page, and the file's
// length before and after, so that an interrupted update can be undone
// (interrupted_update.h), and only while the file is still as the update
// left it.
//
// The file, little-endian throughout:
//   "NORVJRNL", u32 version (1), u32 page size,
//   u64 file length before the update, u64 file length after it,
//   u32 number of pages, then per page:
//     u32 page number, u8 1 when the page existed (0: appended),
//     u32 number of images, the old image (when it existed), the images
//     in write order (one page each),
//   u64 FNV-1a hash of every byte before it.
// A journal whose hash does not match was cut short by a power loss while
// it was written, before any page of the database changed.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "jet/base/bytes.h"
#include "jet/pager/page_file.h"
#include "platform/storage.h"

namespace norv::jet {

struct JournalPage {
  std::uint32_t number = 0;
  std::vector<std::uint8_t> original;             // empty: appended by the update
  std::vector<std::vector<std::uint8_t>> images;  // what the update writes, in order
};

struct JournalContents {
  std::uint32_t page_size = 0;
  std::uint64_t length_before = 0;
  std::uint64_t length_after = 0;
  std::vector<JournalPage> pages;
};

std::filesystem::path journal_path(const std::filesystem::path& database);

std::vector<std::uint8_t> encode_journal(const JournalContents& contents);
// nullopt when `bytes` is not a whole journal of this version.
std::optional<JournalContents> decode_journal(Bytes bytes);

// Puts every page of `contents` that existed back as it was and the file at
// its old length, and makes that durable.
void restore_pages(PageFile& database, const JournalContents& contents);

// The journal of an update that is being written.
class RollbackJournal {
 public:
  // Writes the journal beside `database` and makes it durable; throws the
  // storage's IoError (a full disk, a read-only folder) and then leaves
  // nothing behind.
  RollbackJournal(platform::Storage& storage, const std::filesystem::path& database,
                  JournalContents contents);

  // Undoes the update in `database` and removes the journal. False when
  // that failed: the journal stays for the next open to restore from.
  bool roll_back(PageFile& database) noexcept;

  // The update is durable: the journal goes. A journal that cannot be
  // removed is harmless: the next open finds every page as the update left
  // it and removes it then.
  void remove() noexcept;

  const std::filesystem::path& path() const { return path_; }

 private:
  platform::Storage* storage_;
  std::filesystem::path path_;
  JournalContents contents_;
};

}  // namespace norv::jet
