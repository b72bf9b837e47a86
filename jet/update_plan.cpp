#include "jet/update_plan.h"

#include <algorithm>

#include <fmt/format.h>

#include "jet/format_fault.h"

namespace norv::jet {

namespace {

std::size_t index_of(WriteStage stage) { return static_cast<std::size_t>(stage); }

}  // namespace

UpdatePlan::UpdatePlan(PageFile& pages, const Format& format)
    : pages_(&pages), format_(&format) {}

UpdatePlan::PlannedPage& UpdatePlan::planned_data_page(std::uint32_t number) {
  auto found = planned_.find(number);
  if (found != planned_.end()) {
    if (!found->second.is_data)
      throw_format_fault(fmt::format("page {} is not a data page", number));
    return found->second;
  }
  const Page page = pages_->page(number);
  const DataPage parsed = DataPage::parse(*format_, page);
  PlannedPage planned;
  planned.original.assign(page.bytes().begin(), page.bytes().end());
  planned.is_data = true;
  planned.data.assign(write_stage_count, DataPageLayout(*format_, parsed));
  return planned_.emplace(number, std::move(planned)).first->second;
}

const DataPageLayout& UpdatePlan::data_page(std::uint32_t number, WriteStage stage) {
  return planned_data_page(number).data[index_of(stage)];
}

template <typename Edit>
void UpdatePlan::edit_from(std::uint32_t page, WriteStage stage, Edit edit) {
  PlannedPage& planned = planned_data_page(page);
  if (!planned.original.empty() && planned.dirty_from == write_stage_count) {
    // Only a page whose counts agree with its rows is rewritten.
    const DataPage parsed = DataPage::parse(
        *format_, Page(page, std::make_shared<const std::vector<std::uint8_t>>(planned.original)));
    if (parsed.stored_free_space() != parsed.computed_free_space())
      throw_format_fault(fmt::format("the free-space count of page {} ({}) disagrees with its "
                                     "rows ({})",
                                     page, parsed.stored_free_space(),
                                     parsed.computed_free_space()));
  }
  planned.dirty_from = std::min(planned.dirty_from, index_of(stage));
  for (std::size_t s = index_of(stage); s < write_stage_count; ++s) edit(planned.data[s]);
}

std::size_t UpdatePlan::append_row(std::uint32_t page, std::vector<std::uint8_t> body,
                                   std::uint16_t flags, WriteStage stage) {
  std::size_t row = 0;
  edit_from(page, stage, [&](DataPageLayout& layout) { row = layout.append(body, flags); });
  return row;
}

void UpdatePlan::replace_row(std::uint32_t page, std::size_t row, std::vector<std::uint8_t> body,
                             WriteStage stage) {
  edit_from(page, stage, [&](DataPageLayout& layout) { layout.replace_body(row, body); });
}

void UpdatePlan::set_row_flags(std::uint32_t page, std::size_t row, std::uint16_t flags,
                               WriteStage stage) {
  edit_from(page, stage, [&](DataPageLayout& layout) { layout.set_flags(row, flags); });
}

bool UpdatePlan::has_room(std::uint32_t page, std::size_t body_size, WriteStage stage) {
  PlannedPage& planned = planned_data_page(page);
  for (std::size_t s = index_of(stage); s < write_stage_count; ++s)
    if (!planned.data[s].has_room_for(body_size)) return false;
  return true;
}

bool UpdatePlan::can_replace(std::uint32_t page, std::size_t row, std::size_t body_size,
                             WriteStage stage) {
  PlannedPage& planned = planned_data_page(page);
  for (std::size_t s = index_of(stage); s < write_stage_count; ++s) {
    const DataPageLayout& layout = planned.data[s];
    const auto after = layout.free_space() + static_cast<std::ptrdiff_t>(layout.body(row).size()) -
                       static_cast<std::ptrdiff_t>(body_size);
    if (after < 0) return false;
  }
  return true;
}

bool UpdatePlan::fits(std::uint32_t page, WriteStage stage) {
  PlannedPage& planned = planned_data_page(page);
  for (std::size_t s = index_of(stage); s < write_stage_count; ++s)
    if (!planned.data[s].fits()) return false;
  return true;
}

std::uint32_t UpdatePlan::add_page(std::uint32_t owner) {
  const auto number = static_cast<std::uint32_t>(pages_->page_count() + added_.size());
  PlannedPage planned;
  planned.is_data = true;
  planned.dirty_from = 0;
  planned.data.assign(write_stage_count, DataPageLayout(*format_, number, owner));
  planned_.emplace(number, std::move(planned));
  added_.push_back(number);
  return number;
}

std::vector<std::uint8_t>& UpdatePlan::raw_page(std::uint32_t number, WriteStage stage) {
  auto found = planned_.find(number);
  if (found == planned_.end()) {
    const Page page = pages_->page(number);
    PlannedPage planned;
    planned.original.assign(page.bytes().begin(), page.bytes().end());
    planned.raw = planned.original;
    planned.dirty_from = index_of(stage);
    found = planned_.emplace(number, std::move(planned)).first;
  }
  PlannedPage& planned = found->second;
  if (planned.is_data || planned.dirty_from != index_of(stage))
    throw_format_fault(fmt::format("page {} is edited as two kinds of page", number));
  return planned.raw;
}

std::vector<UpdatePlan::Write> UpdatePlan::writes() const {
  std::vector<Write> out;
  std::map<std::uint32_t, std::vector<std::uint8_t>> on_disk;
  for (const auto& [number, planned] : planned_) on_disk[number] = planned.original;
  for (std::size_t s = 0; s < write_stage_count; ++s) {
    for (const auto& [number, planned] : planned_) {
      if (planned.dirty_from > s) continue;
      std::vector<std::uint8_t> image = planned.is_data ? planned.data[s].image() : planned.raw;
      if (planned.is_data || planned.dirty_from == s) {
        if (image == on_disk[number]) continue;
        on_disk[number] = image;
        out.push_back({static_cast<WriteStage>(s), number, std::move(image)});
      }
    }
  }
  // Appended pages first: a full disk then fails before any page the file
  // had is touched, and cutting the file back leaves it as it was.
  std::stable_partition(out.begin(), out.end(), [this](const Write& w) {
    return w.stage == WriteStage::new_rows && planned_.at(w.page).original.empty();
  });
  return out;
}

void UpdatePlan::write() const {
  const std::vector<Write> planned = writes();
  const std::uint32_t original_pages = pages_->page_count();
  std::size_t i = 0;
  try {
    for (; i < planned.size(); ++i) {
      pages_->write_page(planned[i].page, planned[i].bytes);
      const bool stage_ends = i + 1 == planned.size() || planned[i + 1].stage != planned[i].stage;
      if (stage_ends) pages_->sync();
    }
  } catch (const std::exception&) {
    // Until the global map marks them nothing points at appended pages: a
    // write or flush that fails up to there (a full disk) leaves none behind.
    if (planned[i].stage == WriteStage::new_rows) drop_appended_pages(original_pages);
    throw;
  }
}

void UpdatePlan::drop_appended_pages(std::uint32_t original_pages) const noexcept {
  try {
    pages_->drop_pages_from(original_pages);
    // Durably: a power loss must not bring the cut pages back.
    pages_->sync();
  } catch (const std::exception&) {
    // The failure being reported matters more; the pages stay unreferenced.
  }
}

}  // namespace norv::jet
