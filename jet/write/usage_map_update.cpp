#include "jet/write/usage_map_update.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <set>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"
#include "jet/format/data_page.h"
#include "jet/format/usage_map_row.h"
#include "platform/error.h"

namespace norv::jet {

using namespace usage_map_row;

namespace {

// Changing a page's bit in an existing map.

[[noreturn]] void cannot_record(std::uint32_t page, std::string_view why) {
  throw NotSupportedError(fmt::format(
      "the table's page map cannot record the new page {} ({}); compact the database in "
      "Access and run again",
      page, why));
}


// One page's bit in one map set to `page_used`, applied to the map row of
// every stage from the first on, each row as that stage has it (edits of
// the same map planned at other stages stay). Only marking a page used in a
// `used` map may make the map larger: a re-based inline window, a
// conversion to a reference map, a new bitmap page. The bitmap pages it
// adds are shared by all stages and marked in use in the global map.
class MapChange {
 public:
  MapChange(UpdatePlan& plan, std::uint32_t page, MapSense sense, bool page_used)
      : plan_(plan), page_(page), sense_(sense), page_used_(page_used) {}

  void apply(std::vector<std::uint8_t>& row, WriteStage stage) {
    if (row[kind_offset] == static_cast<std::uint8_t>(UsageMapKind::reference))
      apply_reference(row, stage);
    else
      apply_inline(row, stage);
  }

 private:
  bool bit() const { return page_used_ == (sense_ == MapSense::used); }
  bool may_grow() const { return page_used_ && sense_ == MapSense::used; }
  bool gives_back_to_the_file() const { return !page_used_ && sense_ == MapSense::free; }
  std::uint32_t per_page() const { return plan_.format().pages_per_map_page; }

  void apply_inline(std::vector<std::uint8_t>& row, WriteStage stage) {
    const std::uint64_t bits = (row.size() - inline_bitmap_offset) * 8;
    const std::uint32_t start = le::get32(row.data() + inline_start_offset);
    if (page_ >= start && page_ - start < bits) {
      set_bit(row.data() + inline_bitmap_offset, page_ - start, bit());
      return;
    }
    // A page given back outside the global map's window: the map grows to
    // reach it. A free page outside a table's window, or a page taken
    // outside the global map's window: the map says nothing about it,
    // which is what it should say.
    if (gives_back_to_the_file()) return convert_free_map(row, stage);
    if (!may_grow()) return;
    std::vector<std::uint32_t> used = set_pages(row);
    used.push_back(page_);
    std::sort(used.begin(), used.end());
    const std::uint32_t lowest = used.front() / 8 * 8;
    if (used.back() - lowest < bits)
      rebase_inline(row, lowest, used);
    else
      convert_to_reference(row, used, stage);
  }

  // The window moved to start at the lowest used page, as Jet does while
  // the span still fits.
  static void rebase_inline(std::vector<std::uint8_t>& row, std::uint32_t lowest,
                            const std::vector<std::uint32_t>& used) {
    le::put32(row.data() + inline_start_offset, lowest);
    std::fill(row.begin() + inline_bitmap_offset, row.end(), 0);
    for (std::uint32_t p : used) set_bit(row.data() + inline_bitmap_offset, p - lowest);
  }

  // The row becomes a reference map of the same length, each slot holding
  // the used pages of its range on a bitmap page.
  void convert_to_reference(std::vector<std::uint8_t>& row, const std::vector<std::uint32_t>& used,
                            WriteStage stage) {
    const std::size_t slots = (row.size() - reference_slots_offset) / reference_slot_size;
    if (used.back() / per_page() >= slots)
      cannot_record(page_, fmt::format("its {} bitmap-page slots do not reach that far", slots));
    std::fill(row.begin(), row.end(), 0);
    row[kind_offset] = static_cast<std::uint8_t>(UsageMapKind::reference);
    for (auto from = used.begin(); from != used.end();) {
      const std::uint32_t slot = *from / per_page();
      const auto to = std::find_if(from, used.end(),
                                   [&](std::uint32_t p) { return p / per_page() != slot; });
      const std::vector<std::uint32_t> in_slot(from, to);
      le::put32(row.data() + reference_slot(slot), bitmap_page_holding(slot, in_slot, stage));
      from = to;
    }
  }

  // The global map, its inline window too short for a page given back,
  // becomes a reference map of the same length, as Jet's does once a file
  // outgrows the window: a bitmap page for each slot holding a free page
  // and for the one holding the end of the file, pages from the end on
  // free as before. A page past the last slot stays unknown to the map; a
  // page past the end of the file needs nothing, being free already.
  // The bitmap pages are appended, never free pages taken: the map they
  // make up decides which pages are free.
  void convert_free_map(std::vector<std::uint8_t>& row, WriteStage stage) {
    if (page_ >= plan_.page_count()) return;  // past the end: free already
    std::vector<std::uint32_t> free_pages{page_};
    for (std::uint32_t page : set_pages(row))
      if (page < plan_.page_count()) free_pages.push_back(page);
    std::sort(free_pages.begin(), free_pages.end());
    const std::size_t slots = (row.size() - reference_slots_offset) / reference_slot_size;
    std::set<std::uint32_t> needed;
    for (std::uint32_t page : free_pages) needed.insert(page / per_page());
    const bool first_conversion = new_bitmap_pages_.empty();
    if (first_conversion) {
      const std::uint32_t after_bitmaps =
          plan_.page_count() + static_cast<std::uint32_t>(needed.size()) + 1;
      if (*needed.rbegin() >= slots || after_bitmaps / per_page() >= slots) return;
      needed.insert(after_bitmaps / per_page());
      for (std::uint32_t slot : needed)
        new_bitmap_pages_.emplace(slot, plan_.append_raw_page(bitmap_page_image(
                                            plan_.format(), slot * per_page(), {})));
    }
    const std::uint32_t end = plan_.page_count();
    std::fill(row.begin(), row.end(), 0);
    row[kind_offset] = static_cast<std::uint8_t>(UsageMapKind::reference);
    for (const auto& [slot, bitmap_page] : new_bitmap_pages_) {
      const std::uint32_t first = slot * per_page();
      std::vector<std::uint32_t> in_slot;
      for (std::uint32_t page : free_pages)
        if (page / per_page() == slot) in_slot.push_back(page);
      for (std::uint32_t page = std::max(end, first); page - first < per_page(); ++page)
        in_slot.push_back(page);
      const std::vector<std::uint8_t> wanted = bitmap_page_image(plan_.format(), first, in_slot);
      // Whole from the first write on; rewritten at a later stage that
      // converts again with more pages given back.
      if (first_conversion) plan_.raw_page(bitmap_page, WriteStage::new_rows) = wanted;
      plan_.raw_page(bitmap_page, stage) = wanted;
      le::put32(row.data() + reference_slot(slot), bitmap_page);
    }
  }

  // The bitmap page of `slot` marking exactly `pages`: new at the first
  // stage that needs it, the same page, its bitmap rewritten, at later ones.
  std::uint32_t bitmap_page_holding(std::uint32_t slot, const std::vector<std::uint32_t>& pages,
                                    WriteStage stage) {
    const auto known = new_bitmap_pages_.find(slot);
    if (known == new_bitmap_pages_.end()) return new_bitmap_page(slot, pages);
    const std::vector<std::uint8_t> wanted =
        bitmap_page_image(plan_.format(), slot * per_page(), pages);
    std::vector<std::uint8_t>& image = plan_.raw_page(known->second, stage);
    std::copy(wanted.begin() + bitmap_page_header_size, wanted.end(),
              image.begin() + bitmap_page_header_size);
    return known->second;
  }

  // A new bitmap page, whole from the first write on: the map refers to it
  // only from its own stage, and the global map marks it used before that.
  std::uint32_t new_bitmap_page(std::uint32_t slot, const std::vector<std::uint32_t>& pages) {
    const std::uint32_t number =
        plan_.add_raw_page(bitmap_page_image(plan_.format(), slot * per_page(), pages));
    new_bitmap_pages_.emplace(slot, number);
    mark_page_used(plan_, global_usage_map, number, MapSense::free, WriteStage::global_map);
    return number;
  }

  void apply_reference(std::vector<std::uint8_t>& row, WriteStage stage) {
    const std::uint32_t slot = page_ / per_page();
    if (reference_slot(slot) + reference_slot_size > row.size()) {
      if (may_grow())
        cannot_record(page_, fmt::format("it lies past the {} pages its bitmap-page slots "
                                         "reach",
                                         std::uint64_t{per_page()} *
                                             ((row.size() - reference_slots_offset) /
                                              reference_slot_size)));
      return;  // outside the map's range: nothing to record
    }
    std::uint32_t bitmap_page = le::get32(row.data() + reference_slot(slot));
    if (bitmap_page == 0) {
      if (!may_grow()) return;
      const auto known = new_bitmap_pages_.find(slot);
      bitmap_page = known != new_bitmap_pages_.end() ? known->second : new_bitmap_page(slot, {page_});
      le::put32(row.data() + reference_slot(slot), bitmap_page);
    }
    // Jet leaves garbage in unused slots of the global map; a slot that
    // points outside the file (and the plan) covers nothing.
    if (bitmap_page >= plan_.page_count()) return;
    std::vector<std::uint8_t>& image = plan_.raw_page(bitmap_page, stage);
    set_bit(image.data() + bitmap_page_header_size, page_ % per_page(), bit());
  }

  UpdatePlan& plan_;
  std::uint32_t page_;
  MapSense sense_;
  bool page_used_;
  std::map<std::uint32_t, std::uint32_t> new_bitmap_pages_;  // slot -> page
};

// Sets `page`'s bit in the map at `where` to `page_used`, after checking the
// map as the file holds it and as the plan has it at `stage`.
void change_page_bit(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                     bool page_used, WriteStage stage) {
  const DataPageLayout& holder = plan.data_page(where.page, stage);
  if (where.row >= holder.row_count() || !is_plain_row(holder.flags(where.row)))
    throw_format_fault(
        fmt::format("the usage map at row {} of page {} is missing", where.row, where.page));
  if (holder.body(where.row).size() <= inline_bitmap_offset)
    throw_format_fault(fmt::format("the usage map at row {} of page {} is too short", where.row,
                                   where.page));
  read_usage_map(plan.pages(), plan.format(), where, sense);
  MapChange change(plan, page, sense, page_used);
  plan.edit_row(
      where.page, where.row,
      [&](std::vector<std::uint8_t>& row, WriteStage at) { change.apply(row, at); }, stage);
}

}  // namespace

void mark_page_used(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                    WriteStage stage) {
  change_page_bit(plan, where, page, sense, true, stage);
}

void mark_page_unused(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                      WriteStage stage) {
  change_page_bit(plan, where, page, sense, false, stage);
}

}  // namespace norv::jet
