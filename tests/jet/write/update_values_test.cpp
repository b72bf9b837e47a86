// Every column type of the control-table fixtures set through the engine
// and read back by the engine and by mdbtools, in both Jet 4 variants and
// the ADOX-made one, on copies of the shared files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/database.h"
#include "tests/jet/update_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

struct TypeCase {
  const char* fixture;
  Value value;
};

Decimal decimal_of(std::uint32_t magnitude, std::uint8_t scale) {
  Decimal d;
  d.magnitude[3] = magnitude;
  d.scale = scale;
  return d;
}

std::vector<TypeCase> type_cases() {
  Guid guid;
  for (std::size_t i = 0; i < guid.bytes.size(); ++i) guid.bytes[i] = static_cast<std::uint8_t>(i * 17);
  return {
      {"control-text.mdb", std::string("1.0")},
      {"control-text.mdb", std::string("10.25.3 a much longer version text")},
      {"control-text.mdb", std::string("")},
      {"control-text.mdb", Null{}},
      {"control-text-null.mdb", std::string("1.0")},
      {"control-text-emptystring.mdb", std::string("2")},
      {"control-text-compressed.mdb", std::string("1.0")},
      {"control-text-compressed.mdb", std::string("2.0 \xC3\xA4\xE2\x82\xAC")},
      {"unicode.mdb", std::string("1.1")},
      {"unicode-compressed.mdb", std::string("3 \xCE\xB1\xCE\xB2")},
      {"control-memo.mdb", std::string("1.0")},
      {"control-memo.mdb", Null{}},
      {"control-double.mdb", 1.5},
      {"control-single.mdb", 2.25f},
      {"control-long.mdb", std::int32_t{-70000}},
      {"control-integer.mdb", std::int16_t{1234}},
      {"control-byte.mdb", std::uint8_t{200}},
      {"control-byte.mdb", Null{}},
      {"control-currency.mdb", Currency{15000}},
      {"control-numeric.mdb", decimal_of(12345, 4)},
      {"control-boolean.mdb", false},
      {"control-datetime.mdb", DateTime{36925.5}},
      {"control-guid.mdb", guid},
      {"control-many.mdb", std::string("1.0")},
      {"control-deleted.mdb", std::string("1.0")},
      {"control-wide.mdb", std::string("4.5.6")},
      {"fendrel.mdb", std::string("1.0")},
      {"control-empty.mdb", std::string("1.0")},
  };
}

TEST(UpdateValues, EveryColumnTypeReadsBackInBothReaders) {
  NORV_REQUIRE_FIXTURES();
  std::size_t updated = 0;
  for (const char* folder : {"V2000", "V2003", "GENERIC_JET4"}) {
    for (const TypeCase& c : type_cases()) {
      const std::string relative = std::string(folder) + "/" + c.fixture;
      if (!std::filesystem::exists(test::fixture(relative))) continue;
      SCOPED_TRACE(relative + " <- " + to_display_text(c.value));
      test::TempDir dir;
      const auto db = test::copy_fixture(relative, dir.path());
      const DatabaseRows before = read_all_tables(db);
      Database database = Database::open(db);
      const std::uint64_t rows = database.update_column("Control", "Version", c.value);
      EXPECT_EQ(rows, before.at("Control").size());
      expect_updated(db, before, "Control", "Version", c.value);
      ++updated;
    }
  }
  EXPECT_GT(updated, 50u);
}

TEST(UpdateValues, NamesMatchWithoutRegardToCase) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V2000/control-version-lower.mdb", dir.path());
  const DatabaseRows before = read_all_tables(db);
  Database::open(db).update_column("CONTROL", "VERSION", std::string("1.0"));
  expect_updated(db, before, "Control", "version", std::string("1.0"));
}

TEST(UpdateValues, SameValueWritesNothing) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V2000/control-many.mdb", dir.path());
  Database::open(db).update_column("Control", "Version", std::string("1.0"));
  const std::string bytes = file_bytes(db);
  Database database = Database::open(db);
  EXPECT_EQ(database.update_column("Control", "Version", std::string("1.0")), 3u);
  EXPECT_EQ(database.io_stats().pages_written, 0u);
  EXPECT_EQ(file_bytes(db), bytes);
}

TEST(UpdateValues, DatabaseReadsTheNewValueAfterItsOwnUpdate) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V2003/control-text.mdb", dir.path());
  Database database = Database::open(db);
  database.update_column("Control", "Version", std::string("7.7"));
  std::vector<Value> seen;
  const TableInfo table = database.table("Control");
  database.for_each_row(table, [&](const std::vector<Value>& row) { seen.push_back(row[1]); });
  EXPECT_EQ(seen, std::vector<Value>{std::string("7.7")});
}

TEST(UpdateValues, ReadsEachPageItNeedsOnce) {
  // The update finds the table in the catalog the database has read, then
  // reads the header again and the table's pages once, under the lock. In
  // this file: the header twice, MSysObjects' definition and its two data
  // pages, Control's definition, the page holding its usage maps, the
  // owned-pages map's bitmap page and the one data page, which it writes;
  // and, for the check of the primary key before anything is written, its
  // leaf and the global usage map on page 1.
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto db = test::copy_fixture("V2000/control-text.mdb", dir.path());
  Database database = Database::open(db);
  database.update_column("Control", "Version", std::string("7.7"));
  EXPECT_EQ(database.io_stats().pages_read, 11u);
  EXPECT_EQ(database.io_stats().bytes_read, 9u * 4096u + 2u * 0xA0u);
  EXPECT_EQ(database.io_stats().pages_written, 1u);
}

}  // namespace
}  // namespace norv::jet
