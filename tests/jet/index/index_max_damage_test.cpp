// MAX through a damaged index: whenever the rows can be read, the index
// gives the maximum the rows hold or no answer at all (the caller then
// reads the rows). Each damage below once made the index answer wrong with
// success: a smaller value, Null for a table full of rows, or the value of
// a deleted row. A sound tree, and one whose end leaf deletions emptied,
// still give the answer through the index.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/data_page.h"
#include "jet/format/header.h"
#include "jet/format/index_page.h"
#include "jet/format/text_codec.h"
#include "jet/index/index_tree.h"
#include "jet/pager/page_file.h"
#include "tests/jet/damage.h"
#include "tests/jet/update_support.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

constexpr std::int32_t company_rows = 3000;  // CompanyNo 0 to 2999

// The Company table's file and the tree of its CompanyNo index, for
// damaging pages of it in place. The end leaf holds the largest values:
// the last leaf of an ascending index, the first of a descending one.
class CompanyFile {
 public:
  CompanyFile(std::filesystem::path db, bool descending)
      : db_(std::move(db)), descending_(descending) {
    const std::uint32_t definition = Database::open(db_).table("Company").definition_page;
    PageFile pages = PageFile::open(db_, platform::FileMode::read_only);
    const Header header = read_header(pages);
    format_ = header.format;
    const TextCodec text(header.format->version, header.code_page);
    const TableDef def = read_table_def(pages, *format_, text, definition);
    root_ = def.real_indexes.at(0).first_page;
    leaves_ = read_index_tree(pages, *format_, root_, def.page, "Company").leaves;
  }

  std::uint32_t root() const { return root_; }
  std::size_t leaf_count() const { return leaves_.size(); }

  // The end leaf (0) and the leaves `steps` further into the index.
  const IndexPage& leaf(std::size_t steps) const {
    return descending_ ? leaves_.at(steps) : leaves_.at(leaves_.size() - 1 - steps);
  }

  std::vector<std::uint8_t> page(std::uint32_t number) const {
    const std::vector<std::uint8_t> file = test::read_bytes(db_);
    const auto start = file.begin() + static_cast<std::ptrdiff_t>(offset(number));
    return {start, start + format_->page_size};
  }

  void put(std::uint32_t number, const std::vector<std::uint8_t>& image) const {
    std::vector<std::uint8_t> file = test::read_bytes(db_);
    std::copy(image.begin(), image.end(),
              file.begin() + static_cast<std::ptrdiff_t>(offset(number)));
    test::write_bytes(db_, file);
  }

  void put(const IndexPage& index_page) const {
    put(index_page.number, *encode_index_page(*format_, index_page));
  }

  // The root's pointer to its child at the end: the tail of an ascending
  // index (only those four bytes change), the first entry's child of a
  // descending one.
  void point_root_end_at(std::uint32_t child) const {
    if (!descending_) {
      test::patch_u32(db_, offset(root_) + format_->index_page.tail, child);
      return;
    }
    IndexPage root = [&] {
      PageFile pages = PageFile::open(db_, platform::FileMode::read_only);
      pages.set_page_size(format_->page_size);
      return parse_index_page(*format_, pages.page(root_));
    }();
    root.entries.front().child = child;
    put(root);
  }

  void delete_row(RowPointer row) const {
    const std::uint64_t slot = offset(row.page) + format_->data_row_count_offset + 2 + 2u * row.row;
    const std::vector<std::uint8_t> file = test::read_bytes(db_);
    const auto entry = static_cast<std::uint16_t>(file[slot] | file[slot + 1] << 8);
    test::patch_u16(db_, slot, entry | slot_flags::deleted);
  }

  // The entry holding the largest value.
  const IndexPageEntry& end_entry() const {
    return descending_ ? leaf(0).entries.front() : leaf(0).entries.back();
  }

  // The end leaf without entries, its rows deleted, as deletions leave it,
  // linking back into the index to `inward`.
  void empty_end_leaf(std::uint32_t inward) const {
    IndexPage end = leaf(0);
    for (const IndexPageEntry& entry : end.entries) delete_row(entry.row);
    end.entries.clear();
    (descending_ ? end.next : end.previous) = inward;
    put(end);
  }

 private:
  std::uint64_t offset(std::uint32_t number) const {
    return static_cast<std::uint64_t>(number) * format_->page_size;
  }

  std::filesystem::path db_;
  bool descending_;
  const Format* format_ = nullptr;
  std::uint32_t root_ = 0;
  std::vector<IndexPage> leaves_;
};

struct DamageCase {
  const char* what;
  std::function<void(const CompanyFile&)> apply;
  bool index_answers;  // the index still proves its end
};

const DamageCase damage_cases[] = {
    {"none", [](const CompanyFile&) {}, true},
    {"the root names the leaf before the end as its end child",
     [](const CompanyFile& f) { f.point_root_end_at(f.leaf(1).number); }, false},
    {"the root names itself as its end child",
     [](const CompanyFile& f) { f.point_root_end_at(f.root()); }, false},
    {"the end leaf overwritten by a copy of the leaf before it",
     [](const CompanyFile& f) { f.put(f.leaf(0).number, f.page(f.leaf(1).number)); }, false},
    {"the end leaf overwritten by a copy of the root",
     [](const CompanyFile& f) { f.put(f.leaf(0).number, f.page(f.root())); }, false},
    {"the row of the end entry deleted",
     [](const CompanyFile& f) { f.delete_row(f.end_entry().row); }, false},
    {"the end leaf emptied by deletions",
     [](const CompanyFile& f) { f.empty_end_leaf(f.leaf(1).number); }, true},
    {"the emptied end leaf links back past the leaf before it",
     [](const CompanyFile& f) { f.empty_end_leaf(f.leaf(2).number); }, false},
};

class MaxThroughDamagedIndex : public ::testing::TestWithParam<std::tuple<FormatVersion, bool>> {
 protected:
  bool descending() const { return std::get<1>(GetParam()); }

  std::filesystem::path create() {
    TableSpec table{
        "Company",
        {column("ID", ColumnType::long_integer), column("CompanyNo", ColumnType::long_integer)},
        {{"CompanyNoIdx", {"CompanyNo"}, false, false, {descending()}}},
        {}};
    for (std::int32_t no = 0; no < company_rows; ++no) table.rows.push_back({no + 1, no});
    DatabaseSpec spec;
    spec.format = std::get<0>(GetParam());
    spec.tables.push_back(std::move(table));
    const auto path = dir_.path() / "company.mdb";
    create_database(path, spec, {.overwrite = true});
    return path;
  }

  test::TempDir dir_;
};

Value max_of_rows(const std::filesystem::path& db) {
  std::optional<std::int32_t> max;
  for (const Value& value : column_values(db, "Company", "CompanyNo"))
    if (!is_null(value) && (!max || std::get<std::int32_t>(value) > *max))
      max = std::get<std::int32_t>(value);
  return max ? Value{*max} : Value{Null{}};
}

std::optional<Value> max_through_index(const std::filesystem::path& db) {
  const Database database = Database::open(db);
  const TableInfo table = database.table("Company");
  for (const ColumnInfo& info : table.columns)
    if (info.name == "CompanyNo") return database.max_through_index(table, info);
  return std::nullopt;
}

TEST_P(MaxThroughDamagedIndex, GivesTheMaximumOfTheRowsOrNoAnswer) {
  for (const DamageCase& damage : damage_cases) {
    SCOPED_TRACE(damage.what);
    const auto db = create();
    const CompanyFile file(db, descending());
    ASSERT_GE(file.leaf_count(), 3u) << "the tree is too small for these damages";
    damage.apply(file);
    const Value rows = max_of_rows(db);
    const std::optional<Value> indexed = max_through_index(db);
    if (damage.index_answers) {
      EXPECT_TRUE(indexed.has_value()) << "the index was not used";
    }
    if (indexed) {
      EXPECT_EQ(*indexed, rows);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    BothFormatsBothDirections, MaxThroughDamagedIndex,
    ::testing::Combine(::testing::Values(FormatVersion::jet3, FormatVersion::jet4),
                       ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param) == FormatVersion::jet3 ? "Jet3" : "Jet4") +
             (std::get<1>(info.param) ? "Descending" : "Ascending");
    });

}  // namespace
}  // namespace norv::jet
