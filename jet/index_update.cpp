#include "jet/index_update.h"

#include <fmt/format.h>

#include <algorithm>
#include <memory>

#include "jet/engine_errors.h"
#include "jet/format_fault.h"
#include "jet/long_value.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::uint8_t unique_flag = 0x01;
constexpr std::uint8_t required_flag = 0x08;
constexpr std::uint8_t primary_key_type = 1;
// Far beyond any real tree: a deeper walk is a loop in damaged pointers.
constexpr int max_tree_depth = 16;

bool same_entry(const IndexPageEntry& a, const IndexPageEntry& b) {
  return a.key == b.key && a.row == b.row && a.child == b.child;
}

bool same_entries(const std::vector<IndexPageEntry>& a, const std::vector<IndexPageEntry>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), same_entry);
}

bool is_primary_key(const TableDef& table, std::size_t real) {
  return std::any_of(table.logical_indexes.begin(), table.logical_indexes.end(),
                     [&](const LogicalIndexDef& index) {
                       return index.real_index == real && index.index_type == primary_key_type;
                     });
}

std::string index_names(const TableDef& table, std::size_t real) {
  std::string out;
  for (const LogicalIndexDef& index : table.logical_indexes)
    if (index.real_index == real) out += (out.empty() ? "" : ", ") + index.name;
  return out.empty() ? fmt::format("#{}", real) : out;
}

}  // namespace

IndexUpdate::IndexUpdate(UpdatePlan& plan, const TextCodec& text, const TableDef& table,
                         std::string_view table_name, std::size_t real_index,
                         std::size_t position, std::vector<std::uint8_t> new_bytes,
                         bool new_present)
    : plan_(plan),
      text_(text),
      table_(table),
      table_name_(table_name),
      real_(real_index),
      position_(position),
      new_bytes_(std::move(new_bytes)),
      new_present_(new_present),
      name_(index_names(table, real_index)),
      where_(fmt::format("{}: table {}", text.file().string(), table_name)) {
  const ColumnDef& column = table_.columns[position_];
  const bool null_value = !new_present_ && !column.is_boolean();
  const std::uint8_t flags = table_.real_indexes[real_].flags;
  if (null_value && ((flags & required_flag) != 0 || is_primary_key(table_, real_)))
    throw InvalidArgumentError(fmt::format(
        "{}: Index or primary key cannot contain a Null value. (Column {} of table {} is part "
        "of the index {}; give it a value.)",
        text_.file().string(), column.name, table_name_, name_));
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

void IndexUpdate::plan() {
  if (changes_.empty()) return;
  const std::vector<IndexPage> before = read_leaves();
  std::vector<IndexPage> after = before;
  remove_old_entries(after);
  check_unique(after);
  insert_new_entries(before, after);
  stage(before, after);
}

std::vector<IndexPage> IndexUpdate::read_leaves() const {
  std::vector<IndexPage> leaves;
  std::vector<std::uint32_t> seen;
  collect_leaves(table_.real_indexes[real_].first_page, 0, leaves, seen);
  return leaves;
}

void IndexUpdate::collect_leaves(std::uint32_t number, int depth, std::vector<IndexPage>& leaves,
                                 std::vector<std::uint32_t>& seen) const {
  if (depth > max_tree_depth || std::find(seen.begin(), seen.end(), number) != seen.end())
    throw_format_fault(fmt::format("{}, index {}: the tree reaches page {} twice or loops; repair "
                                   "the database in Access and run again",
                                   where_, name_, number));
  seen.push_back(number);
  IndexPage page = parse_index_page(plan_.format(), plan_.pages().page(number));
  if (page.owner != table_.page)
    throw_format_fault(fmt::format("{}, index {}: index page {} belongs to the table defined on "
                                   "page {}; repair the database in Access and run again",
                                   where_, name_, number, page.owner));
  if (page.leaf) {
    leaves.push_back(std::move(page));
    return;
  }
  for (const IndexPageEntry& entry : page.entries) collect_leaves(entry.child, depth + 1, leaves, seen);
  if (page.tail != 0) collect_leaves(page.tail, depth + 1, leaves, seen);
}

void IndexUpdate::remove_old_entries(std::vector<IndexPage>& leaves) const {
  for (const KeyChange& change : changes_) {
    if (!change.old_key) continue;
    bool found = false;
    for (IndexPage& leaf : leaves) {
      const auto entry = std::find_if(leaf.entries.begin(), leaf.entries.end(), [&](const IndexPageEntry& e) {
        return e.row == change.row && e.key == *change.old_key;
      });
      if (entry == leaf.entries.end()) continue;
      leaf.entries.erase(entry);
      found = true;
      break;
    }
    if (!found)
      throw_format_fault(fmt::format("{}, index {}: row {}:{} has no entry with the key its values "
                                     "give, so the index does not match the table; repair the "
                                     "database in Access and run again",
                                     where_, name_, change.row.page, change.row.row));
  }
}

void IndexUpdate::check_unique(const std::vector<IndexPage>& leaves) const {
  const RealIndexDef& index = table_.real_indexes[real_];
  if ((index.flags & unique_flag) == 0 && !is_primary_key(table_, real_)) return;
  std::vector<std::vector<std::uint8_t>> keys;
  for (const IndexPage& leaf : leaves)
    for (const IndexPageEntry& entry : leaf.entries) keys.push_back(entry.key);
  for (const KeyChange& change : changes_)
    if (change.new_key) keys.push_back(*change.new_key);
  std::sort(keys.begin(), keys.end());
  for (std::size_t i = 1; i < keys.size(); ++i)
    if (keys[i] == keys[i - 1] && !is_all_null_key(index, keys[i]))
      throw InvalidArgumentError(fmt::format(
          "{}: The changes you requested to the table were not successful because they would "
          "create duplicate values in the index, primary key, or relationship. Change the data "
          "in the field or fields that contain duplicate data, remove the index, or redefine the "
          "index to permit duplicate entries and try again.",
          text_.file().string()));
}

// Each new entry goes to the first leaf whose last entry does not precede
// it; with more than one leaf, every leaf must keep its last entry, which
// its parent node repeats.
void IndexUpdate::insert_new_entries(const std::vector<IndexPage>& before,
                                     std::vector<IndexPage>& leaves) const {
  std::vector<std::optional<IndexPageEntry>> bounds;
  for (const IndexPage& leaf : before)
    bounds.push_back(leaf.entries.empty() ? std::nullopt : std::optional(leaf.entries.back()));

  const bool single_leaf = leaves.size() == 1;
  for (const KeyChange& change : changes_) {
    if (!change.new_key) continue;
    const IndexPageEntry entry{*change.new_key, change.row, 0};
    std::size_t target = 0;
    if (!single_leaf) {
      while (target < leaves.size() && (!bounds[target] || entry_precedes(*bounds[target], entry)))
        ++target;
      if (target == leaves.size())
        refuse_shape_change("an entry after the index's last one, which its node pages repeat");
    }
    auto& entries = leaves[target].entries;
    entries.insert(std::upper_bound(entries.begin(), entries.end(), entry, entry_precedes), entry);
  }
  if (single_leaf) return;
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    const bool keeps_last = leaves[i].entries.empty() == !bounds[i] &&
                            (!bounds[i] || same_entry(leaves[i].entries.back(), *bounds[i]));
    if (!keeps_last)
      refuse_shape_change(fmt::format("a new last entry on leaf page {}, which its node page "
                                      "repeats",
                                      leaves[i].number));
  }
}

void IndexUpdate::stage(const std::vector<IndexPage>& before, const std::vector<IndexPage>& after) {
  // The leaves in tree order must hold one ascending sequence, as before.
  const IndexPageEntry* previous = nullptr;
  for (const IndexPage& leaf : after)
    for (const IndexPageEntry& entry : leaf.entries) {
      if (previous != nullptr && !entry_precedes(*previous, entry))
        throw_internal_error(fmt::format("{}, index {}: entries planned out of order on leaf page {}",
                                         where_, name_, leaf.number));
      previous = &entry;
    }
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (same_entries(before[i].entries, after[i].entries)) continue;
    std::optional<std::vector<std::uint8_t>> image = encode_index_page(plan_.format(), after[i]);
    if (!image)
      refuse_shape_change(fmt::format("more entries than leaf page {} holds (a page split)",
                                      after[i].number));
    const IndexPage read_back = parse_index_page(
        plan_.format(), Page(after[i].number, std::make_shared<const std::vector<std::uint8_t>>(*image)));
    if (!same_entries(read_back.entries, after[i].entries) || read_back.owner != after[i].owner ||
        read_back.previous != after[i].previous || read_back.next != after[i].next ||
        read_back.tail != after[i].tail || read_back.leaf != after[i].leaf)
      throw_internal_error(fmt::format("{}, index {}: leaf page {} does not read back as built",
                                       where_, name_, after[i].number));
    // Each index owns its pages: a page another index already changed is a
    // damaged tree, never overwritten with one index's view of it.
    std::vector<std::uint8_t>& staged = plan_.raw_page(after[i].number, WriteStage::rows);
    const Page on_disk = plan_.pages().page(after[i].number);
    if (!std::equal(staged.begin(), staged.end(), on_disk.bytes().begin(), on_disk.bytes().end()))
      throw_format_fault(fmt::format("{}, index {}: index page {} is also in another index's "
                                     "tree; repair the database in Access and run again",
                                     where_, name_, after[i].number));
    staged = std::move(*image);
  }
}

void IndexUpdate::refuse_shape_change(std::string_view what) const {
  throw NotSupportedError(fmt::format(
      "{}, index {}: updating column {} needs {}; this tool only rewrites index entries within "
      "their existing leaf pages and cannot yet split or restructure index pages. The file is "
      "unchanged: make this change in Access, or remove the index, run again and recreate it",
      where_, name_, table_.columns[position_].name, what));
}

}  // namespace norv::jet
