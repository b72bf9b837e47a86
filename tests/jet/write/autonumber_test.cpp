// Which columns are AutoNumbers. Access 97 sets column flag 0x40 on ordinary
// Text, Date/Time and Currency columns, so the flags are patched into
// created files the way those files carry them: such a column must read as
// an ordinary column and take updates, while the real AutoNumbers (a Long
// with 0x04, a GUID with 0x40) keep being refused.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "jet/base/little_endian.h"
#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/format.h"
#include "platform/error.h"
#include "tests/jet/update_support.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

struct FlagCase {
  const char* column;
  ColumnType type;
  std::uint8_t added_flags;  // ORed into the stored flags
  bool autonumber;
};

const FlagCase flag_cases[] = {
    {"ID", ColumnType::long_integer, 0x04, true},
    {"Counter", ColumnType::long_integer, 0x40, false},
    {"Name", ColumnType::text, 0x40, false},
    {"Stamped", ColumnType::date_time, 0x40, false},
    {"Price", ColumnType::currency, 0x40, false},
    {"Replica", ColumnType::guid, 0x40, true},
    {"Other", ColumnType::guid, 0x04, false},
};

// Sets `added` in the stored flags of column `position` (columns are stored
// in column-number order, the order of the TableSpec's columns).
void patch_column_flags(const std::filesystem::path& db, std::size_t position, std::uint8_t added) {
  Database database = Database::open(db);
  const Format& format = format_for(database.format());
  const std::uint32_t tdef = database.table("T").definition_page;
  std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
  std::vector<std::uint8_t> page(format.page_size);
  file.seekg(static_cast<std::streamoff>(tdef) * format.page_size);
  file.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()));
  const std::uint32_t real_indexes = le::get32(page.data() + format.tdef.num_real_idx);
  const std::size_t at = format.tdef.header_end + real_indexes * format.tdef.real_index_stats_size +
                         position * format.column.size + format.column.flags;
  page[at] |= added;
  file.seekp(static_cast<std::streamoff>(tdef) * format.page_size);
  file.write(reinterpret_cast<const char*>(page.data()), static_cast<std::streamsize>(page.size()));
}

std::filesystem::path database_with_flags(const std::filesystem::path& dir, FormatVersion version) {
  TableSpec table;
  table.name = "T";
  for (const FlagCase& c : flag_cases) table.columns.push_back({.name = c.column, .type = c.type});
  Guid guid;
  guid.bytes[0] = 1;
  table.rows.push_back({std::int32_t{1}, std::int32_t{5}, std::string("Ship"), DateTime{2.5},
                        Currency{10000}, guid, guid});
  const auto db = dir / (version == FormatVersion::jet3 ? "flags3.mdb" : "flags4.mdb");
  DatabaseSpec spec;
  spec.format = version;
  spec.tables = {table};
  create_database(db, spec);
  for (std::size_t i = 0; i < std::size(flag_cases); ++i)
    patch_column_flags(db, i, flag_cases[i].added_flags);
  return db;
}

TEST(AutoNumber, OnlyALongWithFlag04OrAGuidWithFlag40) {
  test::TempDir dir;
  for (FormatVersion version : {FormatVersion::jet3, FormatVersion::jet4}) {
    const auto db = database_with_flags(dir.path(), version);
    const TableInfo table = Database::open(db).table("T");
    for (std::size_t i = 0; i < std::size(flag_cases); ++i)
      EXPECT_EQ(table.columns[i].autonumber, flag_cases[i].autonumber)
          << flag_cases[i].column << " in " << db;
  }
}

TEST(AutoNumber, AnAccess97TextColumnWithFlag40IsUpdated) {
  test::TempDir dir;
  for (FormatVersion version : {FormatVersion::jet3, FormatVersion::jet4}) {
    const auto db = database_with_flags(dir.path(), version);
    const DatabaseRows before = read_all_tables(db);
    Database::open(db).update_column("T", "Name", std::string("Harbour"));
    expect_updated(db, before, "T", "Name", std::string("Harbour"));
    for (const auto& [column, value] : {std::pair<std::string, Value>{"ID", std::int32_t{7}},
                                        std::pair<std::string, Value>{"Replica", Guid{}}}) {
      try {
        Database::open(db).update_column("T", column, value);
        ADD_FAILURE() << column << " was updated in " << db;
      } catch (const NotSupportedError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("is an AutoNumber"));
      }
    }
  }
}

}  // namespace
}  // namespace norv::jet
