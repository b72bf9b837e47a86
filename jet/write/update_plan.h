#pragma once

// Every page an update will change, built in memory before the first write,
// and the order in which the pages are written.
//
// A page can be written more than once, one image per stage, so that a
// process dying between any two page writes leaves a file in which every
// row holds its old or its new value:
//
//   new_rows    new pages (data, index and usage bitmap pages), and
//               existing pages gaining rows no scan sees yet (overflow
//               targets, long-value rows): nothing points at them
//   global_map  page 1 and its bitmap pages: appended pages marked in use
//   table_maps  owned-pages and free-space maps of the table, its
//               long-value columns and its indexes
//   rows        the pages holding the rows' headers: each page write
//               switches its rows from old to new at once
//   cleanup     rows no longer referenced (old overflow targets, old
//               long-value rows) marked deleted, pages no longer used
//               released from their maps
//   release     those pages marked free in the global map, once no map
//               names them: a writer never finds a page both free and
//               in a map
//
// A new page is a free page of the file when the plan was given some
// (reuse_free_pages), appended otherwise; either is written whole at the
// new_rows stage, and the caller marks it in use in the global map at the
// global_map stage. A reused page is an existing page for the journal.
//
// An edit made at one stage is part of every later stage's image. The file
// is made durable after each stage that wrote, so the order also holds
// across a power loss.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/format/format.h"
#include "jet/pager/page_file.h"
#include "jet/write/free_pages.h"
#include "jet/write/rollback_journal.h"
#include "platform/storage.h"

namespace norv::jet {

enum class WriteStage : std::size_t { new_rows, global_map, table_maps, rows, cleanup, release };
inline constexpr std::size_t write_stage_count = 6;

class UpdatePlan {
 public:
  UpdatePlan(PageFile& pages, const Format& format);

  PageFile& pages() const { return *pages_; }
  const Format& format() const { return *format_; }

  // Data page `number` as it will be after `stage`. Parsed on first use;
  // a page that is not a data page is a FormatFault.
  const DataPageLayout& data_page(std::uint32_t number, WriteStage stage);

  // Edits to data pages, made at `stage` and kept in every later stage.
  std::size_t append_row(std::uint32_t page, std::vector<std::uint8_t> body,
                         std::uint16_t flags, WriteStage stage);
  void replace_row(std::uint32_t page, std::size_t row, std::vector<std::uint8_t> body,
                   WriteStage stage);
  void set_row_flags(std::uint32_t page, std::size_t row, std::uint16_t flags,
                     WriteStage stage);

  // Rewrites row `row` of `page` in the image of every stage from `stage`
  // on, each from that image's own body: `edit` gets the body and the stage
  // it belongs to. Edits of one row made at different stages then all stay,
  // in whatever order they are planned. The body keeps its length.
  using RowEdit = std::function<void(std::vector<std::uint8_t>& body, WriteStage stage)>;
  void edit_row(std::uint32_t page, std::size_t row, const RowEdit& edit, WriteStage stage);

  // Whether a row of `body_size` bytes can be added to `page` at `stage`
  // and still fit in every later image of the page.
  bool has_room(std::uint32_t page, std::size_t body_size, WriteStage stage);
  // Whether row `row` of `page` can take a body of `body_size` bytes at
  // `stage` and still fit in every later image of the page.
  bool can_replace(std::uint32_t page, std::size_t row, std::size_t body_size, WriteStage stage);
  // Whether `page`'s images from `stage` on all fit.
  bool fits(std::uint32_t page, WriteStage stage);

  // From now on new pages are taken from `free` first (free_pages.h), and
  // appended only when it has none left.
  void reuse_free_pages(FreePages free) { free_ = std::move(free); }

  // A new empty data page of `owner` (its number). An appended page of
  // either kind may not take the file past the format's largest size
  // (Format::max_file_size).
  std::uint32_t add_page(std::uint32_t owner);
  // A new page that is not a data page (an index page, a usage bitmap
  // page), `image` being all of it; written whole at the new_rows stage.
  // Returns its number.
  std::uint32_t add_raw_page(std::vector<std::uint8_t> image);
  // add_raw_page, but always at the end of the file: for the global map's
  // own bitmap pages, which decide what is free.
  std::uint32_t append_raw_page(std::vector<std::uint8_t> image);
  // Every page added by add_page and add_raw_page, reused or appended, in
  // the order they were added.
  const std::vector<std::uint32_t>& added_pages() const { return added_; }
  // The file's page count once the plan is written.
  std::uint32_t page_count() const;

  // A page that is not a data page, as it will be after `stage`, to edit in
  // place; loaded on first use. The bytes changed at a stage are part of
  // every later stage's image, whichever stage is edited first: each call
  // brings the returned image up to date with the earlier stages' edits,
  // and writes() lays each stage's changes over the image before it. The
  // reference stays valid for the plan's life.
  std::vector<std::uint8_t>& raw_page(std::uint32_t number, WriteStage stage);

  // Every page image that differs from what the file holds, with the stage
  // that writes it, in write order. Each image has been read back.
  struct Write {
    WriteStage stage;
    std::uint32_t page;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Write> writes() const;

  // Writes writes() in order, syncing after each stage that wrote, under a
  // rollback journal in `storage` (rollback_journal.h): when a write fails,
  // the file is put back as it was, durably; when that fails too, or the
  // power goes, the next open restores it. An update that rewrites a single
  // page of the file needs no journal: that one write is all or nothing.
  void write(platform::Storage& storage) const;

 private:
  // The edits of one stage to a page that is not a data page: the image
  // they started from and the edited image. The stage's change is every
  // bit in which the two differ.
  struct RawEdit {
    std::vector<std::uint8_t> base;
    std::vector<std::uint8_t> edited;  // empty: no edit at this stage
  };

  struct PlannedPage {
    std::vector<std::uint8_t> original;  // empty for an added page
    std::vector<DataPageLayout> data;    // one per stage, data pages only
    std::vector<std::uint8_t> raw_start;  // other pages: the image before any stage
    std::vector<RawEdit> raw;             // ... and one edit per stage
    bool is_data = false;
    std::size_t dirty_from = write_stage_count;  // first stage with an edit
  };

  PlannedPage& planned_data_page(std::uint32_t number);
  PlannedPage& planned_raw_page(std::uint32_t number);
  // The number of a new page, its `original` set when it is a reused one.
  std::uint32_t claim_new_page(PlannedPage& planned, bool may_reuse);
  std::uint32_t add_raw(std::vector<std::uint8_t> image, bool may_reuse);
  // NotSupportedError naming the file when one more page would take it
  // past the format's largest size: planned, so nothing is written.
  void refuse_growth_past_the_limit() const;
  // A raw page's image after `stages` stages (0: before the first).
  static std::vector<std::uint8_t> raw_image_after(const PlannedPage& planned,
                                                   std::size_t stages);
  JournalContents journal_of(const std::vector<Write>& planned) const;
  // Writes `planned` in order, syncing after each stage.
  void write_in_stages(const std::vector<Write>& planned) const;
  template <typename Edit>
  void edit_stages(std::uint32_t page, std::size_t first, std::size_t end, Edit edit);
  template <typename Edit>
  void edit_from(std::uint32_t page, WriteStage stage, Edit edit);

  PageFile* pages_;
  const Format* format_;
  std::map<std::uint32_t, PlannedPage> planned_;
  std::vector<std::uint32_t> added_;
  std::uint32_t appended_ = 0;
  std::optional<FreePages> free_;
};

}  // namespace norv::jet
