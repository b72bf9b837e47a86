#pragma once

// The database file as an array of pages.
//
// Pages are read with one positioned read each and kept for the rest of the
// current operation, so that a table definition, its usage map and its data
// pages are read once however often the format code looks at them. Every
// read and write is counted (IoStats), which is how the benchmarks prove
// what an operation touched. Nothing here knows what a page contains.
//
// In an encoded database pages are decoded as they are read and encoded as
// they are written (PageEncoding): everything above this class sees plain
// page images only.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "jet/base/bytes.h"
#include "jet/pager/page_encoding.h"
#include "jet/types/io_stats.h"
#include "platform/storage.h"
#include "platform/system_storage.h"

namespace norv::jet {

// An immutable image of one page. Copies share the bytes; an image stays
// valid after the page file has forgotten the page.
class Page {
 public:
  Page(std::uint32_t number, std::shared_ptr<const std::vector<std::uint8_t>> bytes)
      : number_(number), bytes_(std::move(bytes)) {}

  std::uint32_t number() const { return number_; }
  Bytes bytes() const { return *bytes_; }
  std::uint8_t type() const { return (*bytes_)[0]; }

 private:
  std::uint32_t number_;
  std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
};

class PageFile {
 public:
  // Opens the file in `storage`; throws IoError naming it. No page is read
  // yet.
  static PageFile open(const std::filesystem::path& path, platform::FileMode mode,
                       platform::Storage& storage = platform::system_storage());
  // Over a file opened elsewhere (the update's locked handle).
  static PageFile over(std::unique_ptr<platform::StorageFile> file) {
    return PageFile(std::move(file));
  }

  PageFile(PageFile&&) noexcept = default;
  PageFile& operator=(PageFile&&) noexcept = default;

  const std::filesystem::path& path() const { return file_->path(); }
  std::uint64_t file_size() const { return file_size_; }

  // The first min(max_bytes, file size) bytes, for the header, as stored
  // (the header page is never encoded). Counts as one page read.
  std::vector<std::uint8_t> read_front(std::size_t max_bytes);

  // Fixes the geometry once the header has told the format; page() needs it.
  // The caller has checked that the file holds a whole number of pages.
  void set_page_size(std::uint32_t page_size);
  std::uint32_t page_size() const { return page_size_; }
  std::uint32_t page_count() const { return page_count_; }

  // Fixes how pages are stored once the header has given the key: from
  // then on page() decodes and write_page() encodes. Kept pages are
  // forgotten, as they may have been read with another encoding.
  void set_encoding(PageEncoding encoding);
  PageEncoding encoding() const { return encoding_; }

  // Page `number`, read on first use in this operation. A number outside the
  // file is a FormatFault.
  Page page(std::uint32_t number);

  // Ends an operation: kept pages are forgotten (held Page images stay valid).
  void end_operation();

  // Replaces page `number` (an existing page or the one just past the end)
  // with `bytes`, a plain image exactly one page long, and keeps it. Ordering
  // and durability are the caller's: see sync().
  void write_page(std::uint32_t number, std::span<const std::uint8_t> bytes);

  // Cuts the file back to its first `number` pages: pages appended by an
  // update that is undone.
  void drop_pages_from(std::uint32_t number);

  // Returns once every written page is on stable storage.
  void sync();

  IoStats stats() const { return stats_; }

 private:
  explicit PageFile(std::unique_ptr<platform::StorageFile> file);

  // An operation keeps at most this many pages; beyond it the kept set is
  // dropped and pages are read again, so a scan of a large file stays small.
  static constexpr std::size_t max_kept_pages = 4096;

  std::unique_ptr<platform::StorageFile> file_;
  std::uint64_t file_size_ = 0;
  std::uint32_t page_size_ = 0;
  std::uint32_t page_count_ = 0;
  PageEncoding encoding_;
  std::vector<std::uint8_t> encoded_;  // write_page's buffer, reused
  std::unordered_map<std::uint32_t, std::shared_ptr<const std::vector<std::uint8_t>>> kept_;
  IoStats stats_;
};

}  // namespace norv::jet
