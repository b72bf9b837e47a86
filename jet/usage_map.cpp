#include "jet/usage_map.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "jet/data_page.h"
#include "jet/format_fault.h"
#include "jet/little_endian.h"
#include "jet/page_header.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

// The map row: its kind, then for an inline map the first page its bitmap
// covers and the bitmap (LSB first); for a reference map one u32 slot per
// bitmap page, slot k covering pages from k * Format::pages_per_map_page.
constexpr std::size_t kind_offset = 0;
constexpr std::size_t inline_start_offset = 1;
constexpr std::size_t inline_bitmap_offset = 5;
constexpr std::size_t reference_slots_offset = 1;
constexpr std::size_t reference_slot_size = 4;
// A bitmap page: type, a constant 0x01, two unused bytes, the bitmap.
constexpr std::size_t bitmap_page_header_size = 4;

bool bit_is_set(const std::uint8_t* bitmap, std::uint64_t bit) {
  return (bitmap[bit / 8] >> (bit % 8) & 1) != 0;
}

void set_bit(std::uint8_t* bitmap, std::uint64_t bit, bool value = true) {
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  if (value)
    bitmap[bit / 8] |= mask;
  else
    bitmap[bit / 8] &= static_cast<std::uint8_t>(~mask);
}

std::size_t reference_slot(std::size_t k) { return reference_slots_offset + reference_slot_size * k; }

// Decoding.

// Appends start + i for every set bit i of bitmap.
void collect_set_bits(Bytes bitmap, std::uint64_t start, std::uint32_t page_count, MapSense sense,
                      std::vector<std::uint32_t>& out) {
  for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
    if (bitmap[byte] == 0) continue;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (!bit_is_set(bitmap.data() + byte, bit)) continue;
      const std::uint64_t page = start + byte * 8 + bit;
      if (page >= page_count && sense == MapSense::free) return;
      if (page >= page_count)
        throw_format_fault(fmt::format("a usage map lists page {}, past the end of the file "
                                       "({} pages)",
                                       page, page_count));
      out.push_back(static_cast<std::uint32_t>(page));
    }
  }
}

UsageMap decode_inline(PageFile& pages, ByteReader row, MapSense sense) {
  UsageMap map;
  map.kind = UsageMapKind::inline_bitmap;
  const std::uint32_t start = row.u32(inline_start_offset);
  collect_set_bits(row.slice(inline_bitmap_offset, row.size() - inline_bitmap_offset), start,
                   pages.page_count(), sense, map.pages);
  return map;
}

UsageMap decode_reference(PageFile& pages, const Format& format, ByteReader row,
                          MapSense sense) {
  UsageMap map;
  map.kind = UsageMapKind::reference;
  const std::size_t slots = (row.size() - reference_slots_offset) / reference_slot_size;
  for (std::size_t k = 0; k < slots; ++k) {
    const std::uint32_t bitmap_page = row.u32(reference_slot(k));
    if (bitmap_page == 0) continue;
    if (bitmap_page >= pages.page_count() && sense == MapSense::free) continue;
    const Page page = pages.page(bitmap_page);
    if (page.type() != usage_bitmap_page_type)
      throw_format_fault(fmt::format("usage map page {} is not a bitmap page (type {:#04x})",
                                     bitmap_page, page.type()));
    map.bitmap_pages.push_back(bitmap_page);
    collect_set_bits(page.bytes().subspan(bitmap_page_header_size),
                     std::uint64_t{k} * format.pages_per_map_page, pages.page_count(), sense,
                     map.pages);
  }
  return map;
}

// Changing a page's bit in an existing map.

[[noreturn]] void cannot_record(std::uint32_t page, std::string_view why) {
  throw NotSupportedError(fmt::format(
      "the table's page map cannot record the new page {} ({}); compact the database in "
      "Access and run again",
      page, why));
}

// The pages an inline map row marks.
std::vector<std::uint32_t> set_pages(const std::vector<std::uint8_t>& row) {
  std::vector<std::uint32_t> out;
  const std::uint32_t start = le::get32(row.data() + inline_start_offset);
  for (std::size_t i = 0; i < (row.size() - inline_bitmap_offset) * 8; ++i)
    if (bit_is_set(row.data() + inline_bitmap_offset, i))
      out.push_back(static_cast<std::uint32_t>(start + i));
  return out;
}

// A bitmap page as Jet starts one, marking `pages` (all in the slot that
// starts at page `first`).
std::vector<std::uint8_t> bitmap_page_image(const Format& format, std::uint32_t first,
                                            const std::vector<std::uint32_t>& pages) {
  std::vector<std::uint8_t> image(format.page_size, 0);
  write_page_header(image, usage_bitmap_page_type);
  for (std::uint32_t page : pages) set_bit(image.data() + bitmap_page_header_size, page - first);
  return image;
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

// Building new maps.

// The bitmap bytes of an inline map covering `covered_pages` pages, or
// nothing when such a row would not fit a data page. Jet's own inline maps
// are never smaller than the format's usual size.
std::optional<std::size_t> inline_bitmap_bytes(const Format& format, std::uint32_t covered_pages) {
  std::size_t size = std::max<std::size_t>(format.usual_inline_map_bytes, (covered_pages + 7u) / 8u);
  if (inline_bitmap_offset + size + 2 > format.empty_data_page_free_space()) return std::nullopt;
  return size;
}

// An inline map whose bitmap starts at page `first`.
std::vector<std::uint8_t> inline_map_row(std::size_t bitmap_bytes, std::uint32_t first,
                                         const std::vector<std::uint32_t>& pages) {
  std::vector<std::uint8_t> row(inline_bitmap_offset + bitmap_bytes, 0);
  row[kind_offset] = static_cast<std::uint8_t>(UsageMapKind::inline_bitmap);
  le::put32(row.data() + inline_start_offset, first);
  for (std::uint32_t page : pages) set_bit(row.data() + inline_bitmap_offset, page - first);
  return row;
}

// Row of a reference map with `slots` slots, all empty.
std::vector<std::uint8_t> reference_map_row(std::uint32_t slots) {
  std::vector<std::uint8_t> row(reference_slot(slots), 0);
  row[kind_offset] = static_cast<std::uint8_t>(UsageMapKind::reference);
  return row;
}

// A new bitmap page, its number stored in `slot` of the reference map `row`.
std::uint8_t* add_bitmap_page(const Format& format, std::vector<std::uint8_t>& row,
                              std::uint32_t slot, PageImages& images) {
  const std::uint32_t number = images.allocate();
  std::vector<std::uint8_t>& page = images[number];
  page = bitmap_page_image(format, 0, {});
  le::put32(row.data() + reference_slot(slot), number);
  return page.data() + bitmap_page_header_size;
}

}  // namespace

UsageMap decode_usage_map(PageFile& pages, const Format& format, Bytes map_row,
                          MapSense sense) {
  ByteReader row(map_row, "a usage map");
  switch (row.u8(kind_offset)) {
    case static_cast<std::uint8_t>(UsageMapKind::inline_bitmap):
      return decode_inline(pages, row, sense);
    case static_cast<std::uint8_t>(UsageMapKind::reference):
      return decode_reference(pages, format, row, sense);
    default:
      throw_format_fault(fmt::format("a usage map has the unknown type {:#04x}", map_row[0]));
  }
}

UsageMap read_usage_map(PageFile& pages, const Format& format, RowPointer where,
                        MapSense sense) {
  RowBody row = read_row(pages, format, where);
  return decode_usage_map(pages, format, row.bytes, sense);
}

void mark_page_used(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                    WriteStage stage) {
  change_page_bit(plan, where, page, sense, true, stage);
}

void mark_page_unused(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                      WriteStage stage) {
  change_page_bit(plan, where, page, sense, false, stage);
}

std::vector<std::uint8_t> build_usage_map(const Format& format,
                                          const std::vector<std::uint32_t>& pages,
                                          std::uint32_t covered_pages, PageImages& images) {
  if (auto bytes = inline_bitmap_bytes(format, covered_pages))
    return inline_map_row(*bytes, 0, pages);
  // In a large file, a table whose pages lie close together still gets an
  // inline map, its window starting at its first page, as Jet makes them.
  if (pages.empty()) return inline_map_row(*inline_bitmap_bytes(format, 0), 0, pages);
  const auto [lowest, highest] = std::minmax_element(pages.begin(), pages.end());
  if (auto bytes = inline_bitmap_bytes(format, *highest - *lowest + 1))
    return inline_map_row(*bytes, *lowest, pages);

  const std::uint32_t per_page = format.pages_per_map_page;
  std::vector<std::uint8_t> row = reference_map_row((covered_pages + per_page - 1) / per_page);
  std::vector<std::uint32_t> sorted = pages;
  std::sort(sorted.begin(), sorted.end());
  std::uint8_t* bitmap = nullptr;
  std::uint32_t slot_of_bitmap = 0;
  for (std::uint32_t page : sorted) {
    const std::uint32_t slot = page / per_page;
    if (bitmap == nullptr || slot != slot_of_bitmap) {
      bitmap = add_bitmap_page(format, row, slot, images);
      slot_of_bitmap = slot;
    }
    set_bit(bitmap, page % per_page);
  }
  return row;
}

std::vector<std::uint8_t> build_global_usage_map(const Format& format, PageImages& images) {
  if (auto bytes = inline_bitmap_bytes(format, images.count())) {
    std::vector<std::uint8_t> row = inline_map_row(*bytes, 0, {});
    const auto covered = static_cast<std::uint32_t>(*bytes * 8);
    for (std::uint32_t page = images.count(); page < covered; ++page)
      set_bit(row.data() + inline_bitmap_offset, page);
    return row;
  }
  // Slots before the last stay empty: every page they cover is in use. The
  // last one's bitmap page is itself the file's last page.
  const std::uint32_t per_page = format.pages_per_map_page;
  const std::uint32_t end_of_file = images.count() + 1;
  const std::uint32_t last_slot = end_of_file / per_page;
  std::vector<std::uint8_t> row = reference_map_row(last_slot + 1);
  std::uint8_t* bitmap = add_bitmap_page(format, row, last_slot, images);
  for (std::uint32_t index = end_of_file % per_page; index < per_page; ++index)
    set_bit(bitmap, index);
  return row;
}

}  // namespace norv::jet
