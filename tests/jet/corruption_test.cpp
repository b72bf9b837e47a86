// Damaged copies of real databases: each damage is refused with a
// CorruptDatabaseError naming the file, never a crash, a hang or a guess.

#include <cstring>
#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/format/format.h"
#include "jet/format/header.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/pager/page_file.h"
#include "jet/table/row_locations.h"
#include "platform/error.h"
#include "tests/jet/damage.h"
#include "tests/jet/fixture_list.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

// Opens the database and reads everything a user of the tool can ask for.
void read_everything(const std::filesystem::path& file) {
  const Database db = Database::open(file);
  for (const CatalogEntry& entry : db.catalog()) {
    if (entry.kind == CatalogKind::link || entry.kind == CatalogKind::view) continue;
    const TableInfo table = db.table(entry.name);
    db.for_each_row(table, [](const std::vector<Value>&) {});
  }
}

std::string corruption_message(const std::filesystem::path& file) {
  try {
    read_everything(file);
  } catch (const CorruptDatabaseError& e) {
    return e.what();
  }
  return "(read without complaint)";
}

class Damaged : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::fixtures_dir()) GTEST_SKIP() << "shared fixtures not found";
  }
  std::filesystem::path copy(const char* fixture) { return test::copy_fixture(fixture, dir_.path()); }

  // The first page of `file` whose type byte is `type` and owner is `owner`.
  std::uint32_t find_page(const std::filesystem::path& file, std::uint32_t page_size,
                          std::uint8_t type, std::uint32_t owner) {
    const auto bytes = test::read_bytes(file);
    for (std::uint32_t page = 3; page < bytes.size() / page_size; ++page) {
      const std::uint8_t* p = bytes.data() + std::size_t{page} * page_size;
      const std::uint32_t page_owner = p[4] | p[5] << 8 | p[6] << 16 | std::uint32_t{p[7]} << 24;
      if (p[0] == type && (owner == 0 || page_owner == owner)) return page;
    }
    ADD_FAILURE() << "no such page in " << file;
    return 0;
  }

  std::uint32_t control_definition_page(const std::filesystem::path& file) {
    return Database::open(file).table("Control").definition_page;
  }

  test::TempDir dir_;
};

TEST_F(Damaged, CatalogPageOfTheWrongType) {
  const auto file = copy("V2000/control-text.mdb");
  test::patch(file, 2 * 4096, {0x01});
  const std::string message = corruption_message(file);
  EXPECT_THAT(message, HasSubstr(file.string() + " is not a valid Jet database: "));
  EXPECT_THAT(message, HasSubstr("page 2 is not a table definition page"));
}

TEST_F(Damaged, TableDefinitionChainThatLoops) {
  const auto file = copy("V2000/control-text.mdb");
  const std::uint32_t page = control_definition_page(file);
  test::patch_u32(file, std::uint64_t{page} * 4096 + 4, page);
  EXPECT_THAT(corruption_message(file), HasSubstr("loops back"));
}

TEST_F(Damaged, TableDefinitionChainLeavingTheFile) {
  const auto file = copy("V1997/testV1997.mdb");
  test::patch_u32(file, 2 * 2048 + 4, 0x00FFFFFF);
  EXPECT_THAT(corruption_message(file), HasSubstr("beyond the end of the file"));
}

TEST_F(Damaged, ColumnCountsPastTheDefinition) {
  const auto file = copy("V2000/control-text.mdb");
  const std::uint64_t tdef = std::uint64_t{control_definition_page(file)} * 4096;
  test::patch_u16(file, tdef + jet4_format().tdef.max_cols, 0xFFFF);
  test::patch_u16(file, tdef + jet4_format().tdef.num_cols, 0xFFFF);
  EXPECT_THAT(corruption_message(file), HasSubstr("more than it holds"));
}

TEST_F(Damaged, IndexCountsPastTheDefinition) {
  const auto file = copy("V2000/control-text.mdb");
  const std::uint64_t tdef = std::uint64_t{control_definition_page(file)} * 4096;
  test::patch_u32(file, tdef + jet4_format().tdef.num_idx, 0x7FFFFFFF);
  EXPECT_THAT(corruption_message(file), HasSubstr("more than it holds"));
}

TEST_F(Damaged, UnknownColumnType) {
  const auto file = copy("V2000/control-text.mdb");
  const Format& format = jet4_format();
  const std::uint64_t tdef = std::uint64_t{control_definition_page(file)} * 4096;
  const auto bytes = test::read_bytes(file);
  const std::uint32_t real_indexes = bytes[tdef + format.tdef.num_real_idx];
  const std::uint64_t first_column =
      tdef + format.tdef.header_end + real_indexes * format.tdef.real_index_stats_size;
  test::patch(file, first_column + format.column.type, {0x42});
  EXPECT_THAT(corruption_message(file), HasSubstr("unknown type 0x42"));
}

TEST_F(Damaged, RowOffsetsPastThePage) {
  const auto file = copy("V2000/control-text.mdb");
  const std::uint32_t page = find_page(file, 4096, 0x01, control_definition_page(file));
  const std::uint64_t slot0 = std::uint64_t{page} * 4096 + jet4_format().data_row_count_offset + 2;
  test::patch_u16(file, slot0, 0x0FFF + 2);  // past the page's end, no flags
  EXPECT_THAT(corruption_message(file), HasSubstr("outside the page's row area"));
}

TEST_F(Damaged, OverflowPointerToItself) {
  const auto file = copy("V2000/control-text.mdb");
  const std::uint32_t page = find_page(file, 4096, 0x01, control_definition_page(file));
  const std::uint64_t base = std::uint64_t{page} * 4096;
  const auto bytes = test::read_bytes(file);
  const std::uint16_t entry = bytes[base + 14] | bytes[base + 15] << 8;
  test::patch_u16(file, base + 14, static_cast<std::uint16_t>(entry | 0x4000));
  const std::uint16_t start = entry & 0x1FFF;
  test::patch(file, base + start, {0x00, static_cast<std::uint8_t>(page),
                                   static_cast<std::uint8_t>(page >> 8), 0x00});
  EXPECT_THAT(corruption_message(file), HasSubstr("which is not its overflow row"));
}

TEST_F(Damaged, LongValueChainThatLoops) {
  const auto file = copy("V2000/control-memo-long.mdb");
  const auto bytes = test::read_bytes(file);
  // Every link of the chain points back at itself.
  for (std::uint32_t page = 3; page < bytes.size() / 4096; ++page) {
    const std::uint64_t base = std::uint64_t{page} * 4096;
    if (bytes[base] != 0x01 || std::memcmp(&bytes[base + 4], "LVAL", 4) != 0) continue;
    const std::uint16_t start = (bytes[base + 14] | bytes[base + 15] << 8) & 0x1FFF;
    test::patch_u32(file, base + start, std::uint32_t{page} << 8);
  }
  EXPECT_THAT(corruption_message(file), HasSubstr("loop"));
}

TEST_F(Damaged, UsageMapPointingOutOfTheFile) {
  const auto file = copy("V2003/control-text.mdb");
  const std::uint64_t tdef = std::uint64_t{control_definition_page(file)} * 4096;
  test::patch_u32(file, tdef + jet4_format().tdef.owned_pages_map, 0x7FFFFF00);
  EXPECT_THAT(corruption_message(file), HasSubstr("beyond the end of the file"));
}

// Flips bytes all over a small database: whatever the damage, reading it
// either succeeds or fails with one of the engine's errors.
TEST_F(Damaged, FlippedBytesNeverCrash) {
  for (const char* fixture : {"V2000/control-wide.mdb", "V1997/delColTestV1997.mdb"}) {
    const auto file = copy(fixture);
    const auto original = test::read_bytes(file);
    std::size_t refused = 0;
    for (std::size_t offset = 0; offset < original.size(); offset += 17) {
      test::patch(file, offset, {static_cast<std::uint8_t>(original[offset] ^ 0xFF)});
      try {
        read_everything(file);
      } catch (const Error&) {
        ++refused;
      }
      test::patch(file, offset, {original[offset]});
    }
    EXPECT_GT(refused, 0u) << fixture;
  }
}

// An update refuses a table whose page map lists pages that are not its
// data pages, or whose row count differs from the rows found: no table of
// a sound database may look damaged that way, whoever wrote it.
TEST(SoundTables, NoSharedFixtureShowsTableDamage) {
  NORV_REQUIRE_FIXTURES();
  for (const auto& file : test::all_fixture_databases()) {
    std::optional<Database> opened;
    try {
      opened = Database::open(file);
      opened->catalog();
    } catch (const NotSupportedError&) {
      continue;  // password-protected
    }
    const Database& db = *opened;
    PageFile pages = PageFile::open(file, platform::FileMode::read_only);
    const Header header = read_header(pages);
    const TextCodec names(db.format(), db.code_page());
    for (const CatalogEntry& entry : db.catalog()) {
      if (entry.definition_page == 0) continue;  // links and views
      const TableDef table = read_table_def(pages, *header.format, names, entry.definition_page);
      EXPECT_EQ(table_damage(locate_rows(pages, *header.format, table), table), "")
          << file << ", table " << entry.name;
    }
  }
}

}  // namespace
}  // namespace norv::jet
