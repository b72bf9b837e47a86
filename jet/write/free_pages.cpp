#include "jet/write/free_pages.h"

#include "jet/base/format_fault.h"
#include "jet/format/data_page.h"
#include "jet/format/usage_map.h"

namespace norv::jet {

namespace {

// Pages 0 (the header) and 1 (the global map) are never free.
constexpr std::uint32_t first_allocatable_page = 2;

void add_map_pages(PageFile& pages, const Format& format, RowPointer where,
                   std::vector<std::uint32_t>& out) {
  if (where.page == 0) return;
  out.push_back(where.page);
  const UsageMap map = read_usage_map(pages, format, where);
  out.insert(out.end(), map.pages.begin(), map.pages.end());
  out.insert(out.end(), map.bitmap_pages.begin(), map.bitmap_pages.end());
}

// A data page still holding a row that is not deleted. A page that does
// not parse as a data page holds nothing a reader could reach.
bool holds_live_row(const Format& format, const Page& page) {
  try {
    const DataPage parsed = DataPage::parse(format, page);
    for (const RowSlot& slot : parsed.slots())
      if (!slot.is_deleted()) return true;
  } catch (const FormatFault&) {
  }
  return false;
}

}  // namespace

FreePages::FreePages(PageFile& pages, const Format& format, InUse in_use)
    : pages_(&pages), format_(&format), in_use_(std::move(in_use)) {}

void FreePages::load() {
  loaded_ = true;
  const UsageMap global = read_usage_map(*pages_, *format_, global_usage_map, MapSense::free);
  free_ = global.pages;
  known_in_use_.insert(global.bitmap_pages.begin(), global.bitmap_pages.end());
  if (in_use_) {
    const std::vector<std::uint32_t> named = in_use_();
    known_in_use_.insert(named.begin(), named.end());
  }
}

bool FreePages::shown_in_use(std::uint32_t page) const {
  if (page < first_allocatable_page || known_in_use_.contains(page)) return true;
  const Page image = pages_->page(page);
  if (image.type() == table_def_page_type) return true;
  return image.type() == data_page_type && holds_live_row(*format_, image);
}

std::optional<std::uint32_t> FreePages::take(const std::function<bool(std::uint32_t)>& may_take) {
  if (!loaded_) load();
  while (next_ < free_.size()) {
    const std::uint32_t page = free_[next_++];
    if (!shown_in_use(page) && may_take(page)) return page;
  }
  return std::nullopt;
}

std::vector<std::uint32_t> pages_of_table(PageFile& pages, const Format& format,
                                          const TableDef& table) {
  std::vector<std::uint32_t> out = table.pages;
  out.push_back(table.page);
  add_map_pages(pages, format, table.owned_pages_map, out);
  add_map_pages(pages, format, table.free_space_map, out);
  for (const RealIndexDef& index : table.real_indexes)
    add_map_pages(pages, format, index.usage_map, out);
  for (const LongValueMaps& maps : table.long_value_maps) {
    add_map_pages(pages, format, maps.owned_pages, out);
    add_map_pages(pages, format, maps.free_space, out);
  }
  return out;
}

}  // namespace norv::jet
