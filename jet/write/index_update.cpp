#include "jet/write/index_update.h"

#include <fmt/format.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "jet/base/format_fault.h"
#include "jet/format/long_value.h"
#include "jet/format/usage_map.h"
#include "jet/write/usage_map_update.h"
#include "platform/error.h"

namespace norv::jet {

namespace {


bool same_entry(const IndexPageEntry& a, const IndexPageEntry& b) {
  return a.key == b.key && a.row == b.row && a.child == b.child;
}

bool same_entries(const std::vector<IndexPageEntry>& a, const std::vector<IndexPageEntry>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), same_entry);
}

bool is_primary_key(const TableDef& table, std::size_t real) {
  return std::any_of(table.logical_indexes.begin(), table.logical_indexes.end(),
                     [&](const LogicalIndexDef& index) {
                       return index.real_index == real && index.index_type == primary_key_index_type;
                     });
}

}  // namespace

IndexUpdate::IndexUpdate(UpdatePlan& plan, const TableDef& table, std::string_view table_name,
                         std::size_t real_index, std::size_t position,
                         std::vector<std::uint8_t> new_bytes, bool new_present)
    : plan_(plan),
      table_(table),
      table_name_(table_name),
      real_(real_index),
      position_(position),
      new_bytes_(std::move(new_bytes)),
      new_present_(new_present),
      name_(index_names(table, real_index)),
      where_(fmt::format("table {}", table_name)) {
  const ColumnDef& column = table_.columns[position_];
  const bool null_value = !new_present_ && !column.is_boolean();
  const std::uint8_t flags = table_.real_indexes[real_].flags;
  if (null_value && ((flags & index_flags::required) != 0 || is_primary_key(table_, real_)))
    throw InvalidArgumentError(fmt::format(
        "Index or primary key cannot contain a Null value. (Column {} of table {} is part "
        "of the index {}; give it a value.)",
        column.name, table_name_, name_));
}

std::optional<std::vector<std::uint8_t>> IndexUpdate::key_of(const std::vector<RowField>& fields,
                                                             bool with_new_value,
                                                             const RowOrigin& origin) {
  const auto field_of = [&](std::size_t at, std::vector<std::uint8_t>& storage) {
    if (with_new_value && at == position_) {
      storage = new_bytes_;
      return RowField{new_present_, storage};
    }
    RowField field = fields.at(at);
    if (table_.columns[at].type() == ColumnType::memo && field.present) {
      storage = read_long_value(plan_.pages(), plan_.format(),
                                parse_long_value_field(field.bytes, origin));
      field.bytes = storage;
    }
    return field;
  };
  return row_index_key(plan_.format(), table_, table_.real_indexes[real_], field_of, where_);
}

void IndexUpdate::change_row(RowPointer row, const std::vector<RowField>& fields,
                             const RowOrigin& origin) {
  KeyChange change{row, key_of(fields, false, origin), key_of(fields, true, origin)};
  if (change.old_key != change.new_key) changes_.push_back(std::move(change));
}

std::string IndexUpdate::index_where() const { return fmt::format("{}, index {}", where_, name_); }

void IndexUpdate::plan() {
  if (changes_.empty()) return;
  const IndexTreeContents tree =
      read_index_tree(plan_.pages(), plan_.format(), table_.real_indexes[real_].first_page,
                      table_.page, index_where());
  const std::vector<IndexPageEntry> entries = entries_after(leaf_entries(tree));
  check_unique(entries);
  if (!stage_one_leaf(tree, entries)) stage_rebuilt_tree(tree, entries);
}

// The entries with every changed row's old entry taken out and its new one
// merged in, in key order.
std::vector<IndexPageEntry> IndexUpdate::entries_after(
    const std::vector<IndexPageEntry>& before) const {
  if (std::adjacent_find(before.begin(), before.end(), [](const auto& a, const auto& b) {
        return !entry_precedes(a, b);
      }) != before.end())
    throw_format_fault(fmt::format("{}, index {}: the index's entries are out of order; repair the "
                                   "database in Access and run again",
                                   where_, name_));
  std::vector<IndexPageEntry> removed;
  std::vector<IndexPageEntry> added;
  for (const KeyChange& change : changes_) {
    if (change.old_key) removed.push_back({*change.old_key, change.row, 0});
    if (change.new_key) added.push_back({*change.new_key, change.row, 0});
  }
  std::sort(removed.begin(), removed.end(), entry_precedes);
  std::sort(added.begin(), added.end(), entry_precedes);

  std::vector<IndexPageEntry> kept;
  kept.reserve(before.size());
  auto next_removed = removed.begin();
  for (const IndexPageEntry& entry : before) {
    if (next_removed != removed.end() && same_entry(entry, *next_removed))
      ++next_removed;
    else
      kept.push_back(entry);
  }
  if (next_removed != removed.end())
    throw_format_fault(fmt::format("{}, index {}: row {}:{} has no entry with the key its values "
                                   "give, so the index does not match the table; repair the "
                                   "database in Access and run again",
                                   where_, name_, next_removed->row.page, next_removed->row.row));
  std::vector<IndexPageEntry> out;
  out.reserve(kept.size() + added.size());
  std::merge(kept.begin(), kept.end(), added.begin(), added.end(), std::back_inserter(out),
             entry_precedes);
  return out;
}

void IndexUpdate::check_unique(const std::vector<IndexPageEntry>& entries) const {
  const RealIndexDef& index = table_.real_indexes[real_];
  if ((index.flags & index_flags::unique) == 0 && !is_primary_key(table_, real_)) return;
  const auto duplicate = std::adjacent_find(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
    return a.key == b.key && !is_all_null_key(index, a.key);
  });
  if (duplicate != entries.end())
    throw InvalidArgumentError(
        "The changes you requested to the table were not successful because they would "
        "create duplicate values in the index, primary key, or relationship. Change the data "
        "in the field or fields that contain duplicate data, remove the index, or redefine the "
        "index to permit duplicate entries and try again.");
}

// The entries go back onto the leaves they came from, each leaf ending
// with the entry it ended with (a node entry may repeat it; only a root
// leaf has none above it). True when that changes exactly one leaf and it
// still holds its entries: the leaf was staged.
bool IndexUpdate::stage_one_leaf(const IndexTreeContents& tree,
                                 const std::vector<IndexPageEntry>& entries) {
  const IndexPage* changed = nullptr;
  std::vector<IndexPageEntry> changed_entries;
  auto rest = entries.begin();
  const bool root_leaf = tree.pages.size() == 1;
  for (const IndexPage& leaf : tree.leaves) {
    auto end = entries.end();
    if (!root_leaf) {
      if (leaf.entries.empty()) return false;
      end = std::upper_bound(rest, entries.end(), leaf.entries.back(), entry_precedes);
      if (end == rest || !same_entry(*(end - 1), leaf.entries.back())) return false;
    }
    if (!std::equal(rest, end, leaf.entries.begin(), leaf.entries.end(), same_entry)) {
      if (changed != nullptr) return false;
      changed = &leaf;
      changed_entries.assign(rest, end);
    }
    rest = end;
  }
  if (changed == nullptr || rest != entries.end()) return false;
  IndexPage page = *changed;
  page.entries = std::move(changed_entries);
  std::optional<std::vector<std::uint8_t>> image = encode_index_page(plan_.format(), page);
  if (!image) return false;
  check_reads_back(page, *image);
  stage_in_place(page.number, std::move(*image));
  return true;
}

void IndexUpdate::stage_rebuilt_tree(const IndexTreeContents& tree,
                                     const std::vector<IndexPageEntry>& entries) {
  const std::uint32_t root = tree.pages.front();
  const RowPointer usage_map = table_.real_indexes[real_].usage_map;
  std::vector<std::uint32_t> added;
  const auto allocate = [&] {
    added.push_back(plan_.add_raw_page(std::vector<std::uint8_t>(plan_.format().page_size, 0)));
    return added.back();
  };
  for (BuiltIndexPage& built : build_index_tree(plan_.format(), table_.page, root, entries,
                                                allocate, index_where())) {
    check_reads_back(built.page, built.image);
    if (built.page.number == root)
      stage_in_place(built.page.number, std::move(built.image));
    else
      plan_.raw_page(built.page.number, WriteStage::new_rows) = std::move(built.image);
  }
  for (std::uint32_t page : added) {
    mark_page_used(plan_, global_usage_map, page, MapSense::free, WriteStage::global_map);
    mark_page_used(plan_, usage_map, page, MapSense::used, WriteStage::table_maps);
  }
  for (std::uint32_t page : tree.pages) {
    if (page == root) continue;
    mark_page_unused(plan_, usage_map, page, MapSense::used, WriteStage::cleanup);
    mark_page_unused(plan_, global_usage_map, page, MapSense::free, WriteStage::release);
  }
}

void IndexUpdate::check_reads_back(const IndexPage& page, const std::vector<std::uint8_t>& image) const {
  const IndexPage read_back = parse_index_page(
      plan_.format(), Page(page.number, std::make_shared<const std::vector<std::uint8_t>>(image)));
  if (!same_entries(read_back.entries, page.entries) || read_back.owner != page.owner ||
      read_back.previous != page.previous || read_back.next != page.next ||
      read_back.tail != page.tail || read_back.leaf != page.leaf)
    throw_internal_error(fmt::format("{}, index {}: index page {} does not read back as built",
                                     where_, name_, page.number));
}

// Rewrites an existing page of the tree with the rows.
void IndexUpdate::stage_in_place(std::uint32_t number, std::vector<std::uint8_t> image) {
  // Each index owns its pages: a page another index already changed is a
  // damaged tree, never overwritten with one index's view of it.
  std::vector<std::uint8_t>& staged = plan_.raw_page(number, WriteStage::rows);
  const Page on_disk = plan_.pages().page(number);
  if (!std::equal(staged.begin(), staged.end(), on_disk.bytes().begin(), on_disk.bytes().end()))
    throw_format_fault(fmt::format("{}, index {}: index page {} is also in another index's "
                                   "tree; repair the database in Access and run again",
                                   where_, name_, number));
  staged = std::move(image);
}

}  // namespace norv::jet
