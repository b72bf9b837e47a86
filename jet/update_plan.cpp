#include "jet/update_plan.h"

#include <algorithm>
#include <cstring>

#include <fmt/format.h>

#include "jet/file_size_limit.h"
#include "jet/format_fault.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

std::size_t index_of(WriteStage stage) { return static_cast<std::size_t>(stage); }

// `image` with the bits in which `edited` differs from `base` taken from
// `edited`: one stage's change laid over the image the stages before it
// left, which may hold edits made after this stage's own.
void lay_over(std::vector<std::uint8_t>& image, const std::vector<std::uint8_t>& base,
              const std::vector<std::uint8_t>& edited) {
  // Eight bytes at a time: a usage bitmap page is laid over once per stage
  // for every page an update marks, and most of its words are unchanged.
  const auto lay_over_at = [&]<typename Word>(std::size_t at, Word) {
    Word now, from, to;
    std::memcpy(&now, image.data() + at, sizeof(Word));
    std::memcpy(&from, base.data() + at, sizeof(Word));
    std::memcpy(&to, edited.data() + at, sizeof(Word));
    const auto changed = static_cast<Word>(from ^ to);
    if (changed == 0) return;
    now = static_cast<Word>((now & ~changed) | (to & changed));
    std::memcpy(image.data() + at, &now, sizeof(Word));
  };
  std::size_t i = 0;
  for (; i + sizeof(std::uint64_t) <= image.size(); i += sizeof(std::uint64_t))
    lay_over_at(i, std::uint64_t{});
  for (; i < image.size(); ++i) lay_over_at(i, std::uint8_t{});
}

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
void UpdatePlan::edit_stages(std::uint32_t page, std::size_t first, std::size_t end, Edit edit) {
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
  planned.dirty_from = std::min(planned.dirty_from, first);
  for (std::size_t s = first; s < end; ++s) edit(planned.data[s]);
}

template <typename Edit>
void UpdatePlan::edit_from(std::uint32_t page, WriteStage stage, Edit edit) {
  edit_stages(page, index_of(stage), write_stage_count, edit);
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

void UpdatePlan::edit_row(std::uint32_t page, std::size_t row, const RowEdit& edit,
                          WriteStage stage) {
  for (std::size_t s = index_of(stage); s < write_stage_count; ++s) {
    // A copy: the edit may plan changes of other rows, even of this page.
    const std::vector<std::uint8_t> before = planned_data_page(page).data[s].body(row);
    std::vector<std::uint8_t> body = before;
    edit(body, static_cast<WriteStage>(s));
    if (body.size() != before.size())
      throw_internal_error(fmt::format("an edit of row {} of page {} changed its length", row,
                                       page));
    if (body == before) continue;
    edit_stages(page, s, s + 1, [&](DataPageLayout& layout) { layout.replace_body(row, body); });
  }
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

std::uint32_t UpdatePlan::page_count() const {
  return static_cast<std::uint32_t>(pages_->page_count() + appended_);
}

void UpdatePlan::refuse_growth_past_the_limit() const {
  refuse_pages_past_the_limit(pages_->path(), *format_, std::uint64_t{page_count()} + 1,
                              "the update would make the file",
                              "compact the database in Access (Compact and Repair Database) "
                              "and run again");
}

std::uint32_t UpdatePlan::claim_new_page(PlannedPage& planned, bool may_reuse) {
  // A page the plan already reads or edits is in use, whatever the map says.
  const auto unplanned = [this](std::uint32_t page) { return !planned_.contains(page); };
  std::uint32_t number = 0;
  const bool from_free = may_reuse && free_;
  if (const std::optional<std::uint32_t> reused = from_free ? free_->take(unplanned) : std::nullopt) {
    number = *reused;
    const Page on_disk = pages_->page(number);
    planned.original.assign(on_disk.bytes().begin(), on_disk.bytes().end());
  } else {
    refuse_growth_past_the_limit();
    number = page_count();
    ++appended_;
  }
  planned.dirty_from = 0;
  added_.push_back(number);
  return number;
}

std::uint32_t UpdatePlan::add_page(std::uint32_t owner) {
  PlannedPage planned;
  const std::uint32_t number = claim_new_page(planned, true);
  planned.is_data = true;
  planned.data.assign(write_stage_count, DataPageLayout(*format_, number, owner));
  planned_.emplace(number, std::move(planned));
  return number;
}

std::uint32_t UpdatePlan::add_raw_page(std::vector<std::uint8_t> image) {
  return add_raw(std::move(image), true);
}

std::uint32_t UpdatePlan::append_raw_page(std::vector<std::uint8_t> image) {
  return add_raw(std::move(image), false);
}

std::uint32_t UpdatePlan::add_raw(std::vector<std::uint8_t> image, bool may_reuse) {
  if (image.size() != format_->page_size)
    throw_internal_error(fmt::format("a new page of {} bytes in a file of {}-byte pages",
                                     image.size(), format_->page_size));
  PlannedPage planned;
  const std::uint32_t number = claim_new_page(planned, may_reuse);
  planned.raw_start = std::move(image);
  planned.raw.resize(write_stage_count);
  planned_.emplace(number, std::move(planned));
  return number;
}

UpdatePlan::PlannedPage& UpdatePlan::planned_raw_page(std::uint32_t number) {
  auto found = planned_.find(number);
  if (found == planned_.end()) {
    const Page page = pages_->page(number);
    PlannedPage planned;
    planned.original.assign(page.bytes().begin(), page.bytes().end());
    planned.raw_start = planned.original;
    planned.raw.resize(write_stage_count);
    found = planned_.emplace(number, std::move(planned)).first;
  }
  if (found->second.is_data)
    throw_format_fault(fmt::format("page {} is edited as two kinds of page", number));
  return found->second;
}

std::vector<std::uint8_t> UpdatePlan::raw_image_after(const PlannedPage& planned,
                                                      std::size_t stages) {
  std::vector<std::uint8_t> image = planned.raw_start;
  for (std::size_t s = 0; s < stages; ++s)
    if (!planned.raw[s].edited.empty())
      lay_over(image, planned.raw[s].base, planned.raw[s].edited);
  return image;
}

std::vector<std::uint8_t>& UpdatePlan::raw_page(std::uint32_t number, WriteStage stage) {
  PlannedPage& planned = planned_raw_page(number);
  const std::size_t s = index_of(stage);
  planned.dirty_from = std::min(planned.dirty_from, s);
  RawEdit& edit = planned.raw[s];
  // Rebased on the earlier stages as they are now, keeping this stage's
  // own changes; assigned in place so that earlier references stay valid.
  std::vector<std::uint8_t> base = raw_image_after(planned, s);
  if (edit.edited.empty()) {
    edit.edited = base;
  } else {
    std::vector<std::uint8_t> rebased = base;
    lay_over(rebased, edit.base, edit.edited);
    edit.edited.assign(rebased.begin(), rebased.end());
  }
  edit.base = std::move(base);
  return edit.edited;
}

std::vector<UpdatePlan::Write> UpdatePlan::writes() const {
  std::vector<Write> out;
  for (const auto& [number, planned] : planned_) {
    std::vector<std::uint8_t> on_disk = planned.original;
    std::vector<std::uint8_t> raw = planned.raw_start;
    for (std::size_t s = planned.dirty_from; s < write_stage_count; ++s) {
      std::vector<std::uint8_t> image;
      if (planned.is_data) {
        image = planned.data[s].image();
      } else {
        const RawEdit& edit = planned.raw[s];
        if (!edit.edited.empty()) lay_over(raw, edit.base, edit.edited);
        image = raw;
      }
      if (image == on_disk) continue;
      on_disk = image;
      out.push_back({static_cast<WriteStage>(s), number, std::move(image)});
    }
  }
  // In write order: stage by stage, by page number within a stage.
  std::stable_sort(out.begin(), out.end(),
                   [](const Write& a, const Write& b) { return a.stage < b.stage; });
  // Appended pages first: a full disk then fails before any page the file
  // had is touched, and cutting the file back leaves it as it was.
  std::stable_partition(out.begin(), out.end(), [this](const Write& w) {
    return w.stage == WriteStage::new_rows && planned_.at(w.page).original.empty();
  });
  return out;
}

JournalContents UpdatePlan::journal_of(const std::vector<Write>& planned) const {
  JournalContents journal;
  journal.page_size = format_->page_size;
  journal.length_before = pages_->file_size();
  journal.length_after = std::uint64_t{page_count()} * format_->page_size;
  std::map<std::uint32_t, JournalPage> by_page;
  for (const Write& w : planned) {
    JournalPage& page = by_page[w.page];
    if (page.images.empty()) {
      page.number = w.page;
      page.original = planned_.at(w.page).original;
    }
    page.images.push_back(w.bytes);
  }
  for (auto& [number, page] : by_page) journal.pages.push_back(std::move(page));
  return journal;
}

void UpdatePlan::write_in_stages(const std::vector<Write>& planned) const {
  for (std::size_t i = 0; i < planned.size(); ++i) {
    pages_->write_page(planned[i].page, planned[i].bytes);
    const bool stage_ends = i + 1 == planned.size() || planned[i + 1].stage != planned[i].stage;
    if (stage_ends) pages_->sync();
  }
}

void UpdatePlan::write(platform::Storage& storage) const {
  const std::vector<Write> planned = writes();
  if (planned.empty()) return;
  // One page of the file rewritten by one write is all or nothing as the
  // disk writes it (a one-row stamp): a journal would add nothing but its
  // own writes, and a file created and removed in a folder of thousands of
  // databases makes every later lock-file lookup list the folder again.
  if (planned.size() == 1 && !planned_.at(planned.front().page).original.empty()) {
    write_in_stages(planned);
    return;
  }
  RollbackJournal journal(storage, pages_->path(), journal_of(planned));
  try {
    write_in_stages(planned);
  } catch (const std::exception& error) {
    if (journal.roll_back(*pages_)) throw;
    throw IoError(fmt::format("{}; the update could not be undone at once, and {} will be "
                              "restored from {} when it is next opened: mend the fault and "
                              "run again",
                              error.what(), pages_->path().string(), journal.path().string()));
  }
  journal.remove();
}

}  // namespace norv::jet
