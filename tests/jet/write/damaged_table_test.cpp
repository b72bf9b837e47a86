// A table whose damage a scan passes over: a data page zeroed or given to
// another table, a row count that differs from the rows found. Reading it
// shows fewer rows; writing to it must be refused before the first write,
// naming the file and saying how to repair it, the file left as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "jet/database.h"
#include "platform/error.h"
#include "tests/jet/damage.h"
#include "tests/jet/update_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

struct TablePages {
  std::uint32_t page_size;
  std::uint32_t definition;  // first TDEF page
  std::uint32_t data;        // the table's first data page
};

using Damage = std::function<void(const std::filesystem::path&, const TablePages&)>;

struct DamageCase {
  const char* name;
  const char* fixture;
  const char* table;
  const char* column;
  Value value;
  Damage damage;
  const char* says;
};

TablePages pages_of(const std::filesystem::path& file, const char* table) {
  const Database db = Database::open(file);
  TablePages out{db.page_size(), db.table(table).definition_page, 0};
  const auto bytes = test::read_bytes(file);
  for (std::uint32_t page = 3; page < bytes.size() / out.page_size; ++page) {
    const std::uint8_t* p = bytes.data() + std::size_t{page} * out.page_size;
    const std::uint32_t owner = p[4] | p[5] << 8 | p[6] << 16 | std::uint32_t{p[7]} << 24;
    if (p[0] == 0x01 && owner == out.definition) return {out.page_size, out.definition, page};
  }
  ADD_FAILURE() << "no data page of " << table << " in " << file;
  return out;
}

void zero_data_page(const std::filesystem::path& file, const TablePages& t) {
  auto bytes = test::read_bytes(file);
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(std::size_t{t.data} * t.page_size),
              t.page_size, 0);
  test::write_bytes(file, bytes);
}

void give_data_page_to_the_catalog(const std::filesystem::path& file, const TablePages& t) {
  test::patch_u32(file, std::uint64_t{t.data} * t.page_size + 4, 2);
}

// The row count sits at 0x0C of a Jet 3 definition and 0x10 of a Jet 4 one.
Damage row_count(std::uint32_t rows) {
  return [rows](const std::filesystem::path& file, const TablePages& t) {
    const std::uint64_t at = t.page_size == 2048 ? 0x0C : 0x10;
    test::patch_u32(file, std::uint64_t{t.definition} * t.page_size + at, rows);
  };
}

class DamagedTable : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedTable, IsRefusedForAWriteAndLeftAsItWas) {
  NORV_REQUIRE_FIXTURES();
  const DamageCase& c = GetParam();
  test::TempDir dir;
  const auto db = test::copy_fixture(c.fixture, dir.path());
  c.damage(db, pages_of(db, c.table));
  const std::string before = file_bytes(db);
  try {
    Database::open(db).update_column(c.table, c.column, c.value);
    ADD_FAILURE() << "the update of the damaged table went through";
  } catch (const CorruptDatabaseError& error) {
    EXPECT_THAT(error.what(), HasSubstr(db.string() + ": table " + c.table + " is damaged ("));
    EXPECT_THAT(error.what(), HasSubstr(c.says));
    EXPECT_THAT(error.what(), HasSubstr("repair the database (Compact and Repair in Access)"));
  }
  EXPECT_TRUE(file_bytes(db) == before) << "the refused update changed the file";
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedTable,
    ::testing::Values(
        DamageCase{"ZeroedDataPage", "V2000/control-text.mdb", "Control", "Version",
                   std::string("1.0"), zero_data_page, "which is not one of its data pages"},
        DamageCase{"DataPageOfAnotherTable", "V2003/control-many.mdb", "Control", "Version",
                   std::string("1.0"), give_data_page_to_the_catalog,
                   "which is not one of its data pages"},
        DamageCase{"MoreRowsCounted", "GENERIC_JET4/control-text.mdb", "Control", "Version",
                   std::string("1.0"), row_count(2), "counts 2 rows but the scan finds 1"},
        DamageCase{"FewerRowsCounted", "V2000/control-deleted.mdb", "Control", "Version",
                   std::string("1.0"), row_count(2), "counts 2 rows but the scan finds 3"},
        DamageCase{"Jet3RowCount", "V1997/compIndexTestV1997.mdb", "Table1", "DC_AGENTE",
                   std::string("d"), row_count(0), "counts 0 rows"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norv::jet
