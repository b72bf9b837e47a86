#include "jet/index/index_check.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "jet/base/format_fault.h"
#include "jet/format/index_page.h"
#include "jet/format/row_codec.h"
#include "jet/index/index_key.h"
#include "jet/index/index_walk.h"

namespace norv::jet {

namespace {

// Problems listed per index; the rest are counted.
constexpr std::size_t max_problems_per_index = 20;

std::string hex(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (std::uint8_t b : bytes) out += fmt::format("{:02X}", b);
  return out;
}

std::string row_name(RowPointer row) { return fmt::format("{}:{}", row.page, row.row); }

// What one row gives an index: its key, or nothing when the index ignores
// rows whose key columns are all null.
struct RowKey {
  RowPointer row;
  std::optional<std::vector<std::uint8_t>> key;
};

class TableIndexCheck {
 public:
  TableIndexCheck(const TableReader& reader, std::string_view table_name, const TableDef& table,
                  const UsageMap& free_pages, IndexCheckReport& report)
      : reader_(reader),
        name_(table_name),
        where_(fmt::format("table {}", table_name)),
        table_(table),
        free_pages_(free_pages),
        report_(report) {}

  void run();

 private:
  struct IndexCheck;

  bool computes_keys(const RealIndexDef& index) const {
    return computes_keys_of(reader_.format(), table_, index);
  }

  // Every row's key for every index, in one scan of the table.
  std::vector<std::vector<RowKey>> keys_of_rows() {
    std::vector<std::vector<RowKey>> out(table_.real_indexes.size());
    for_each_stored_row(reader_.pages(), reader_.format(), table_, [&](const StoredRow& row) {
      const RowOrigin origin{name_, row.header.page, row.header.row};
      const auto fields = decode_row_fields(reader_.format(), table_, row.body.bytes, origin);
      report_.rows += 1;
      for (std::size_t i = 0; i < table_.real_indexes.size(); ++i)
        out[i].push_back({row.header, row_key(table_.real_indexes[i], fields, origin)});
    });
    return out;
  }

  std::optional<std::vector<std::uint8_t>> row_key(const RealIndexDef& index,
                                                   const std::vector<RowField>& fields,
                                                   const RowOrigin& origin) const {
    if (!computes_keys(index)) return std::vector<std::uint8_t>{};
    const auto field_of = [&](std::size_t at, std::vector<std::uint8_t>& storage) {
      RowField field = fields[at];
      if (table_.columns[at].type() == ColumnType::memo && field.present) {
        storage = reader_.long_value(field.bytes, origin);
        field.bytes = storage;
      }
      return field;
    };
    return row_index_key(reader_.format(), table_, index, field_of, where_);
  }

  const TableReader& reader_;
  std::string_view name_;
  std::string where_;  // names the table in key errors
  const TableDef& table_;
  const UsageMap& free_pages_;
  IndexCheckReport& report_;
};

// One real index: the tree, its pages and its entries against the rows.
// Every fault of the tree is a problem of the index, and the walk goes on
// past it to find the others.
struct TableIndexCheck::IndexCheck : IndexTreeVisitor {
  IndexCheck(TableIndexCheck& owner, std::size_t real_index)
      : table(owner),
        real(real_index),
        tree(owner.reader_.pages(), owner.reader_.format(), owner.table_.page, owner.where_, *this) {}

  TableIndexCheck& table;
  std::size_t real;
  std::size_t problems = 0;
  std::vector<IndexPage> leaves;  // in tree order
  IndexTreeWalk tree;

  const RealIndexDef& index() const { return table.table_.real_indexes[real]; }
  const Format& format() const { return table.reader_.format(); }
  // Every page the walk went to, whether it could be read or not.
  const std::set<std::uint32_t>& tree_pages() const { return tree.reached(); }

  void problem(std::string what) {
    if (++problems <= max_problems_per_index)
      table.report_.problems.push_back({std::string(table.name_), index_names(table.table_, real),
                                        std::move(what)});
  }

  void finish() {
    table.report_.indexes += 1;
    if (problems > max_problems_per_index)
      problem(fmt::format("{} further problems not listed", problems - max_problems_per_index));
  }

  void run(const std::vector<RowKey>& rows) {
    tree.walk(index().first_page);
    check_leaf_chain();
    std::vector<IndexPageEntry> entries;
    for (const IndexPage& leaf : leaves)
      entries.insert(entries.end(), leaf.entries.begin(), leaf.entries.end());
    table.report_.entries += entries.size();
    check_order(entries);
    check_ownership();
    if (table.computes_keys(index()))
      match_rows(entries, rows, true);
    else {
      table.report_.keys_not_recomputed.push_back(
          fmt::format("{}, {}", table.name_, index_names(table.table_, real)));
      match_rows(entries, rows, false);
    }
  }

  // A page outside the file is read all the same: reading it says what is
  // wrong with it, and ends this index's check.
  bool tolerates(const TreeFaultAt& at) override {
    switch (at.fault) {
      case TreeFault::too_deep:
        problem(fmt::format("the tree is deeper than {} levels at page {}", max_index_tree_depth,
                            at.page));
        break;
      case TreeFault::reached_twice:
        problem(fmt::format("page {} is reached twice in the tree", at.page));
        break;
      case TreeFault::outside_file:
        break;
      case TreeFault::other_table:
        problem(fmt::format("index page {} belongs to the table defined on page {}, not {}",
                            at.page, at.owner, table.table_.page));
        break;
    }
    return true;
  }

  void page(const IndexPage& page) override {
    if (!page.leaf && page.entries.empty() && page.tail == 0)
      problem(fmt::format("node page {} has no children", page.number));
  }

  void leaf(IndexPage page) override {
    if (page.tail != 0) problem(fmt::format("leaf page {} names a tail page {}", page.number, page.tail));
    leaves.push_back(std::move(page));
  }

  void node_entry(const IndexPage& node, const IndexPageEntry& entry,
                  const std::optional<IndexPageEntry>& last) override {
    if (!last)
      problem(fmt::format("node page {}: child page {} holds no entry", node.number, entry.child));
    else if (last->key != entry.key || last->row != entry.row)
      problem(fmt::format("node page {}: the entry for child page {} ({} row {}) is not the "
                          "child's last entry ({} row {})",
                          node.number, entry.child, hex(entry.key), row_name(entry.row),
                          hex(last->key), row_name(last->row)));
  }

  // The leaves form one list in key order.
  void check_leaf_chain() {
    for (std::size_t i = 0; i < leaves.size(); ++i) {
      const std::uint32_t previous = i == 0 ? 0 : leaves[i - 1].number;
      const std::uint32_t next = i + 1 == leaves.size() ? 0 : leaves[i + 1].number;
      if (leaves[i].previous != previous)
        problem(fmt::format("leaf page {} links back to page {}, not {}", leaves[i].number,
                            leaves[i].previous, previous));
      if (leaves[i].next != next)
        problem(fmt::format("leaf page {} links on to page {}, not {}", leaves[i].number,
                            leaves[i].next, next));
    }
  }

  void check_order(const std::vector<IndexPageEntry>& entries) {
    const bool unique = (index().flags & index_flags::unique) != 0;
    for (std::size_t i = 1; i < entries.size(); ++i) {
      const IndexPageEntry& a = entries[i - 1];
      const IndexPageEntry& b = entries[i];
      if (!entry_precedes(a, b))
        problem(fmt::format("entries out of order: {} row {} before {} row {}", hex(a.key),
                            row_name(a.row), hex(b.key), row_name(b.row)));
      else if (unique && a.key == b.key && !is_all_null_key(index(), a.key))
        problem(fmt::format("unique index holds the key {} twice (rows {} and {})", hex(a.key),
                            row_name(a.row), row_name(b.row)));
    }
  }

  // The index's usage map holds exactly the tree's pages, and the global
  // map marks none of them free.
  void check_ownership() {
    const UsageMap map = read_usage_map(table.reader_.pages(), format(), index().usage_map);
    const std::set<std::uint32_t> mapped(map.pages.begin(), map.pages.end());
    for (std::uint32_t page : tree_pages()) {
      if (!mapped.contains(page))
        problem(fmt::format("index page {} is missing from the index's usage map", page));
      if (std::binary_search(table.free_pages_.pages.begin(), table.free_pages_.pages.end(), page))
        problem(fmt::format("index page {} is marked free in the global usage map", page));
    }
    for (std::uint32_t page : mapped)
      if (!tree_pages().contains(page))
        problem(fmt::format("the index's usage map holds page {}, which is not in its tree", page));
  }

  // One entry per indexed row, holding the key the row gives.
  void match_rows(const std::vector<IndexPageEntry>& entries, const std::vector<RowKey>& rows,
                  bool compare_keys) {
    std::map<std::uint32_t, std::vector<const IndexPageEntry*>> by_row;
    for (const IndexPageEntry& entry : entries) by_row[entry.row.to_u32()].push_back(&entry);
    std::size_t indexed = 0;
    for (const RowKey& row : rows) {
      auto found = by_row.find(row.row.to_u32());
      const std::size_t count = found == by_row.end() ? 0 : found->second.size();
      if (!row.key) {
        if (count != 0) problem(fmt::format("row {} has only null key values, which this index leaves out, "
                                            "yet has an entry", row_name(row.row)));
      } else if (count == 0) {
        problem(fmt::format("row {} has no entry (its key is {})", row_name(row.row), hex(*row.key)));
      } else if (count > 1) {
        problem(fmt::format("row {} has {} entries", row_name(row.row), count));
      } else if (compare_keys && found->second.front()->key != *row.key) {
        problem(fmt::format("the entry of row {} holds the key {}; the row's values give {}",
                            row_name(row.row), hex(found->second.front()->key), hex(*row.key)));
      }
      if (row.key) ++indexed;
      if (found != by_row.end()) by_row.erase(found);
    }
    for (const auto& [row, stale] : by_row)
      problem(fmt::format("an entry points at row {}, which is not a row of the table",
                          row_name(RowPointer::from_u32(row))));
    if (entries.size() != indexed)
      problem(fmt::format("{} entries for {} indexed rows", entries.size(), indexed));
  }
};

void TableIndexCheck::run() {
  if (table_.real_indexes.empty()) return;
  report_.tables += 1;
  std::vector<std::vector<RowKey>> row_keys;
  try {
    row_keys = keys_of_rows();
  } catch (const CorruptDatabaseError& fault) {
    report_.problems.push_back({std::string(name_), "", fault.what()});
    return;
  }
  // Which index's tree each page was found in: no page may serve two.
  std::map<std::uint32_t, std::size_t> tree_of_page;
  for (std::size_t i = 0; i < table_.real_indexes.size(); ++i) {
    IndexCheck index(*this, i);
    try {
      index.run(row_keys[i]);
    } catch (const CorruptDatabaseError& fault) {
      index.problem(fault.what());
    }
    for (std::uint32_t page : index.tree_pages()) {
      const auto [found, first] = tree_of_page.emplace(page, i);
      if (!first)
        index.problem(fmt::format("index page {} is also in the tree of the index {}", page,
                                  index_names(table_, found->second)));
    }
    index.finish();
  }
}

}  // namespace

void refuse_damaged_indexes(const TableReader& reader, std::string_view table_name,
                            const TableDef& table) {
  if (table.real_indexes.empty()) return;
  IndexCheckReport report;
  const UsageMap free_pages =
      read_usage_map(reader.pages(), reader.format(), global_usage_map, MapSense::free);
  check_table_indexes(reader, table_name, table, free_pages, report);
  if (report.sound()) return;
  const IndexProblem& first = report.problems.front();
  const std::string index = first.index.empty() ? "" : fmt::format(" in the index {}", first.index);
  throw CorruptDatabaseError(fmt::format(
      "table {} is damaged{} ({}), so nothing was changed; repair the database in Access "
      "(Compact and Repair Database) and run again",
      table_name, index, first.what));
}

void check_table_indexes(const TableReader& reader, std::string_view table_name,
                         const TableDef& table, const UsageMap& free_pages,
                         IndexCheckReport& report) {
  TableIndexCheck(reader, table_name, table, free_pages, report).run();
}

}  // namespace norv::jet
