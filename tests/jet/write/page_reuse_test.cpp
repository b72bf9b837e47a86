// Free pages taken again: the same rows updated over and over keep the file
// near the size the first update left, every map and index still sound;
// and a page a damaged global map calls free while it is in use is never
// taken.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/header.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/format/usage_map.h"
#include "jet/pager/page_file.h"
#include "jet/write/update_plan.h"
#include "jet/write/usage_map_update.h"
#include "platform/storage.h"
#include "tests/jet/page_accounting.h"
#include "tests/jet/update_support.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

const char* format_label(FormatVersion format) {
  return format == FormatVersion::jet3 ? "Jet 3" : "Jet 4";
}

void create(const std::filesystem::path& db, FormatVersion format, std::vector<TableSpec> tables) {
  DatabaseSpec spec;
  spec.format = format;
  spec.tables = std::move(tables);
  create_database(db, spec);
}

// Rows of ID and Version ("1.0"), Version indexed.
TableSpec indexed_versions(std::int32_t rows) {
  TableSpec table{"Company",
                  {column("ID", ColumnType::long_integer), column("Version", ColumnType::text)},
                  {},
                  {}};
  table.indexes.push_back({"VersionIdx", {"Version"}, false, false});
  for (std::int32_t id = 1; id <= rows; ++id) table.rows.push_back({id, std::string("1.0")});
  return table;
}

// Rows of ID and a Memo of 3,000 characters: each value on long-value pages.
TableSpec memos(std::int32_t rows) {
  TableSpec table{"Notes",
                  {column("ID", ColumnType::long_integer), column("Notes", ColumnType::memo)},
                  {},
                  {}};
  for (std::int32_t id = 1; id <= rows; ++id) table.rows.push_back({id, std::string(3000, 'n')});
  return table;
}

struct RepeatedCase {
  std::string name;
  std::function<TableSpec()> table;
  std::string column;
  std::vector<Value> values;  // set in turn, over and over
};

// Each update rebuilds the index (or replaces every long value): without
// reuse, every one of them would add as many pages as the first. The first
// takes none of the pages it frees itself: their old content stays until
// the update is durable, so it grows the file.
TEST(PageReuse, RepeatedUpdatesOfTheSameRowsKeepTheFileNearItsFirstSize) {
  const std::vector<RepeatedCase> cases = {
      {"indexed", [] { return indexed_versions(2000); }, "Version",
       {std::string("2.0.1"), std::string("1.9.9")}},
      {"memo", [] { return memos(200); }, "Notes",
       {std::string(3000, 'a'), std::string(3000, 'b')}},
  };
  constexpr int updates = 12;
  for (FormatVersion format : {FormatVersion::jet3, FormatVersion::jet4}) {
    for (const RepeatedCase& c : cases) {
      SCOPED_TRACE(std::string(format_label(format)) + ", " + c.name);
      test::TempDir dir;
      const auto db = dir / "repeated.mdb";
      const TableSpec table = c.table();
      create(db, format, {table});
      const DatabaseRows before = read_all_tables(db);
      const std::uintmax_t created_size = std::filesystem::file_size(db);
      std::uintmax_t after_first = 0;
      for (int i = 0; i < updates; ++i) {
        const Value& value = c.values[static_cast<std::size_t>(i) % c.values.size()];
        ASSERT_EQ(Database::open(db).update_column(table.name, c.column, value),
                  table.rows.size());
        if (i == 0) after_first = std::filesystem::file_size(db);
      }
      EXPECT_GT(after_first, created_size) << "the first update took pages it freed";
      EXPECT_LE(std::filesystem::file_size(db) * 4, after_first * 5)
          << "grew from " << after_first << " bytes after the first update";
      expect_updated(db, before, table.name, c.column, c.values[(updates - 1) % c.values.size()]);
      expect_pages_accounted_for(db);
      EXPECT_TRUE(Database::open(db).check_indexes().sound());
    }
  }
}

// Marks `page` free in the global map of `db`, as a damaged file may.
void mark_free(const std::filesystem::path& db, std::uint32_t page) {
  PageFile pages = PageFile::open(db, platform::FileMode::read_write);
  const Header header = read_header(pages);
  UpdatePlan plan(pages, *header.format);
  mark_page_unused(plan, global_usage_map, page, MapSense::free, WriteStage::global_map);
  plan.write(platform::system_storage());
}

std::uint32_t first_page_of(const std::filesystem::path& db, RowPointer map) {
  PageFile pages = PageFile::open(db, platform::FileMode::read_only);
  return read_usage_map(pages, *read_header(pages).format, map).pages.front();
}

// Rows that outgrow their page, an index on ID beside them, and another
// table: the update moves rows to new pages.
std::vector<TableSpec> tables_with_rows_to_move() {
  TableSpec parts{"Parts",
                  {column("ID", ColumnType::long_integer),
                   column("Version", ColumnType::text, 255),
                   column("Filler", ColumnType::text, 255)},
                  {},
                  {}};
  parts.indexes.push_back({"IdIdx", {"ID"}, false, false});
  for (std::int32_t id = 1; id <= 24; ++id)
    parts.rows.push_back({id, std::string("0.9"), std::string(120, 'f')});
  TableSpec other{"Other", {column("ID", ColumnType::long_integer)}, {}, {}};
  for (std::int32_t id = 1; id <= 5; ++id) other.rows.push_back({id});
  return {parts, other};
}

struct DamageCase {
  std::string name;
  // The page in use that the damaged global map calls free.
  std::function<std::uint32_t(const std::filesystem::path&)> page;
};

// The file has no other free page: an update that needs pages appends
// them, and every table reads as before (but for the updated column) with
// both readers.
TEST(PageReuse, APageInUseThatTheGlobalMapCallsFreeIsNotTaken) {
  const std::vector<DamageCase> cases = {
      {"a data page of the updated table",
       [](const auto& db) { return first_page_of(db, definition_of(db, "Parts").owned_pages_map); }},
      {"the updated table's definition",
       [](const auto& db) { return definition_of(db, "Parts").page; }},
      {"a data page of another table",
       [](const auto& db) { return first_page_of(db, definition_of(db, "Other").owned_pages_map); }},
  };
  for (FormatVersion format : {FormatVersion::jet3, FormatVersion::jet4}) {
    for (const DamageCase& c : cases) {
      SCOPED_TRACE(std::string(format_label(format)) + ", " + c.name);
      test::TempDir dir;
      const auto db = dir / "damaged.mdb";
      create(db, format, tables_with_rows_to_move());
      const DatabaseRows before = read_all_tables(db);
      mark_free(db, c.page(db));
      const std::uintmax_t size = std::filesystem::file_size(db);
      Database::open(db).update_column("Parts", "Version", std::string(100, 'a'));
      EXPECT_GT(std::filesystem::file_size(db), size) << "the update took the page in use";
      expect_updated(db, before, "Parts", "Version", std::string(100, 'a'));
    }
  }
}

}  // namespace
}  // namespace norv::jet
