// Usage maps changed through an update plan: an inline map growing into a
// reference map, pages released again, changes planned at several stages
// in any order, and a map that cannot reach a page. Each plan is written
// and the maps are read back from the file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/data_page.h"
#include "jet/format/header.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/format/usage_map.h"
#include "jet/pager/page_file.h"
#include "jet/write/update_plan.h"
#include "jet/write/usage_map_update.h"
#include "platform/error.h"
#include "tests/jet/both_formats.h"
#include "tests/jet/update_support.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using PageSet = std::set<std::uint32_t>;

class UsageMapChanges : public ::testing::TestWithParam<FormatVersion> {
 protected:
  void SetUp() override {
    db_ = dir_ / "maps.mdb";
    DatabaseSpec spec;
    spec.format = GetParam();
    TableSpec table{"Control", {column("ID", ColumnType::long_integer)}, {}, {}};
    for (std::int32_t id = 1; id <= 3; ++id) table.rows.push_back({id});
    spec.tables.push_back(table);
    create_database(db_, spec);
    std::uint32_t definition = 0;
    for (const CatalogEntry& entry : Database::open(db_).catalog())
      if (entry.name == "Control") definition = entry.definition_page;
    reopen();
    const TextCodec text(format().version, header_->code_page);
    owned_ = read_table_def(*pages_, format(), text, definition).owned_pages_map;
    owner_ = definition;
  }

  void reopen() {
    pages_.reset();
    pages_.emplace(PageFile::open(db_, platform::FileMode::read_write));
    header_ = read_header(*pages_);
  }

  const Format& format() const { return *header_->format; }
  std::size_t map_bits(RowPointer map) {
    return (read_row(*pages_, format(), map).bytes.size() - 5) * 8;
  }
  PageSet pages_of(RowPointer map, MapSense sense = MapSense::used) {
    const UsageMap decoded = read_usage_map(*pages_, format(), map, sense);
    return {decoded.pages.begin(), decoded.pages.end()};
  }

  // Moves the global map's window to start at `start`, every page in it
  // free: a window Jet has slid forward, reaching the pages this test adds.
  void slide_global_map(std::uint32_t start) {
    UpdatePlan plan(*pages_, format());
    std::vector<std::uint8_t> row = plan.data_page(1, WriteStage::new_rows).body(0);
    std::fill(row.begin() + 5, row.end(), 0xFF);
    row[1] = static_cast<std::uint8_t>(start);
    row[2] = static_cast<std::uint8_t>(start >> 8);
    plan.replace_row(1, 0, row, WriteStage::global_map);
    plan.write(platform::system_storage());
    reopen();
  }

  // Appends the table's data pages up to the first one its inline map
  // cannot reach even re-based; returns them.
  std::vector<std::uint32_t> add_pages_past_the_window(UpdatePlan& plan) {
    const std::uint32_t lowest = *pages_of(owned_).begin() / 8 * 8;
    const std::size_t bits = map_bits(owned_);
    std::vector<std::uint32_t> added;
    while (added.empty() || added.back() - lowest < bits) added.push_back(plan.add_page(owner_));
    return added;
  }

  test::TempDir dir_;
  std::filesystem::path db_;
  std::optional<PageFile> pages_;
  std::optional<Header> header_;
  RowPointer owned_;
  std::uint32_t owner_ = 0;
};

TEST_P(UsageMapChanges, AFullInlineMapBecomesAReferenceMapHoldingEveryPage) {
  slide_global_map(static_cast<std::uint32_t>(map_bits(owned_)));
  const PageSet before = pages_of(owned_);
  const std::size_t row_length = read_row(*pages_, format(), owned_).bytes.size();

  UpdatePlan plan(*pages_, format());
  const std::vector<std::uint32_t> added = add_pages_past_the_window(plan);
  const std::uint32_t near = added.front();
  const std::uint32_t far = added.back();
  for (std::uint32_t page : {near, far}) {
    mark_page_used(plan, global_usage_map, page, MapSense::free, WriteStage::global_map);
    mark_page_used(plan, owned_, page, MapSense::used, WriteStage::table_maps);
  }
  plan.write(platform::system_storage());
  reopen();

  EXPECT_EQ(read_row(*pages_, format(), owned_).bytes.size(), row_length);
  const UsageMap map = read_usage_map(*pages_, format(), owned_);
  EXPECT_EQ(map.kind, UsageMapKind::reference);
  PageSet expected = before;
  expected.insert({near, far});
  EXPECT_EQ(pages_of(owned_), expected);
  // One bitmap page, appended after the data pages, marked used in the
  // global map, whose window reaches it (the unmarked pages stay free).
  const std::uint32_t bitmap = far + 1;
  EXPECT_THAT(map.bitmap_pages, ::testing::ElementsAre(bitmap));
  EXPECT_EQ(pages_->page_count(), bitmap + 1);
  const Page page = pages_->page(bitmap);
  EXPECT_THAT(std::vector<std::uint8_t>(page.bytes().begin(), page.bytes().begin() + 4),
              ::testing::ElementsAre(0x05, 0x01, 0x00, 0x00));
  const PageSet free_pages = pages_of(global_usage_map, MapSense::free);
  EXPECT_FALSE(free_pages.contains(bitmap));
  EXPECT_FALSE(free_pages.contains(far));
  EXPECT_TRUE(free_pages.contains(far - 1));
}

// The release of pages is planned before the marking of others at an
// earlier stage, as an update plans its index pages before the pages it
// appends: every stage keeps both changes, in the inline global map and in
// a reference map's bitmap page alike.
TEST_P(UsageMapChanges, ChangesAtSeveralStagesComposeInAnyOrder) {
  slide_global_map(static_cast<std::uint32_t>(map_bits(owned_)));
  UpdatePlan grow(*pages_, format());
  const std::vector<std::uint32_t> added = add_pages_past_the_window(grow);
  const std::uint32_t near = added.front();
  const std::uint32_t far = added.back();
  const std::uint32_t middle = added[added.size() / 2];
  for (std::uint32_t page : {near, far}) {
    mark_page_used(grow, global_usage_map, page, MapSense::free, WriteStage::global_map);
    mark_page_used(grow, owned_, page, MapSense::used, WriteStage::table_maps);
  }
  grow.write(platform::system_storage());
  reopen();
  const PageSet before = pages_of(owned_);

  UpdatePlan plan(*pages_, format());
  mark_page_unused(plan, owned_, near, MapSense::used, WriteStage::cleanup);
  mark_page_unused(plan, global_usage_map, far, MapSense::free, WriteStage::cleanup);
  mark_page_used(plan, owned_, middle, MapSense::used, WriteStage::table_maps);
  mark_page_used(plan, global_usage_map, middle, MapSense::free, WriteStage::global_map);
  const std::uint32_t bitmap = read_usage_map(*pages_, format(), owned_).bitmap_pages.at(0);
  std::size_t bitmap_writes = 0;
  for (const UpdatePlan::Write& write : plan.writes()) {
    if (write.page != bitmap) continue;
    ++bitmap_writes;
    const std::uint8_t* bits = write.bytes.data() + 4;
    auto holds = [&](std::uint32_t page) {
      const std::uint32_t bit = page % format().pages_per_map_page;
      return (bits[bit / 8] >> (bit % 8) & 1) != 0;
    };
    EXPECT_TRUE(holds(middle)) << "stage " << static_cast<int>(write.stage);
    EXPECT_EQ(holds(near), write.stage != WriteStage::cleanup);
  }
  EXPECT_EQ(bitmap_writes, 2u);  // table_maps and cleanup
  plan.write(platform::system_storage());
  reopen();

  PageSet expected = before;
  expected.erase(near);
  expected.insert(middle);
  EXPECT_EQ(pages_of(owned_), expected);
  const PageSet free_pages = pages_of(global_usage_map, MapSense::free);
  EXPECT_TRUE(free_pages.contains(far));
  EXPECT_FALSE(free_pages.contains(middle));
}

TEST_P(UsageMapChanges, ReleasingAPageTheMapDoesNotCoverChangesNothing) {
  UpdatePlan plan(*pages_, format());
  const std::uint32_t outside = static_cast<std::uint32_t>(map_bits(global_usage_map)) + 8;
  mark_page_unused(plan, owned_, 1, MapSense::used, WriteStage::cleanup);
  mark_page_unused(plan, owned_, outside, MapSense::used, WriteStage::cleanup);
  mark_page_unused(plan, global_usage_map, outside, MapSense::free, WriteStage::cleanup);
  EXPECT_TRUE(plan.writes().empty());

  const std::uint32_t table_page = *pages_of(owned_).begin();
  mark_page_unused(plan, owned_, table_page, MapSense::used, WriteStage::cleanup);
  mark_page_unused(plan, global_usage_map, table_page, MapSense::free, WriteStage::cleanup);
  plan.write(platform::system_storage());
  reopen();
  EXPECT_FALSE(pages_of(owned_).contains(table_page));
  EXPECT_TRUE(pages_of(global_usage_map, MapSense::free).contains(table_page));
}

TEST_P(UsageMapChanges, APagePastTheLastSlotIsRefusedBeforeAnyChange) {
  const std::size_t slots = (read_row(*pages_, format(), owned_).bytes.size() - 1) / 4;
  const auto beyond = static_cast<std::uint32_t>(slots * format().pages_per_map_page);
  UpdatePlan plan(*pages_, format());
  try {
    mark_page_used(plan, owned_, beyond, MapSense::used, WriteStage::table_maps);
    ADD_FAILURE() << "a page past the map's reach was recorded";
  } catch (const NotSupportedError& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr("compact the database"));
  }
  EXPECT_TRUE(plan.writes().empty());
  EXPECT_THROW(plan.add_raw_page(std::vector<std::uint8_t>(format().page_size - 1)),
               InternalError);
}

INSTANTIATE_TEST_SUITE_P(Formats, UsageMapChanges, both_formats(), format_name);

}  // namespace
}  // namespace norv::jet
