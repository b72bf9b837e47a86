// The writer stopped after k page writes, for every k, as if the process
// died there: the file must still read with the engine and with mdbtools,
// every value of the updated column must be its old or its new one, and
// every other value as it was. Each kind of update is tried: in place,
// rewritten within its page, moved to other pages, Memo to long-value rows
// and back, Jet 3, an indexed column (whose index pages must each be old or
// new; an entry may hold the key of its row's other value).
//
// The same updates on a disk that fills up on the way must be refused and
// leave the file as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "jet/database.h"
#include "jet/write_fault.h"
#include "platform/error.h"
#include "tests/jet/update_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

struct CrashCase {
  const char* fixture;
  const char* table;
  const char* column;
  Value before;  // set first, without a crash, when not Null
  Value value;
  bool indexed = false;  // the column is in an index: its pages must be old or new
};

std::uint32_t page_size_of(const std::string& file) {
  return file[0x14] == 0 ? 2048 : 4096;  // the format's version byte: 0 is Jet 3
}

// Every index page of `now` is whole: as in `old_file` or as in `new_file`.
void expect_index_pages_old_or_new(const std::string& now, const std::string& old_file,
                                   const std::string& new_file) {
  const std::uint32_t size = page_size_of(old_file);
  ASSERT_EQ(now.size(), new_file.size());
  for (std::size_t at = 0; at + size <= old_file.size(); at += size) {
    if (old_file[at] != 0x03 && old_file[at] != 0x04) continue;
    const std::string page = now.substr(at, size);
    EXPECT_TRUE(page == old_file.substr(at, size) || page == new_file.substr(at, size))
        << "index page " << at / size << " is neither old nor new";
  }
}

// The file the update leaves when it completes.
std::string completed_update(const CrashCase& c) {
  test::TempDir dir;
  const auto db = test::copy_fixture(c.fixture, dir.path());
  if (!is_null(c.before)) Database::open(db).update_column(c.table, c.column, c.before);
  Database::open(db).update_column(c.table, c.column, c.value);
  return file_bytes(db);
}

// Runs the update with the writer stopped after k writes, for k = 0, 1, ...
// until it completes; returns the number of page writes it needs.
std::uint64_t crash_at_every_write(const CrashCase& c) {
  const std::string completed = c.indexed ? completed_update(c) : std::string();
  std::uint64_t k = 0;
  for (;; ++k) {
    SCOPED_TRACE("stopped after " + std::to_string(k) + " page writes");
    test::TempDir dir;
    const auto db = test::copy_fixture(c.fixture, dir.path());
    if (!is_null(c.before)) Database::open(db).update_column(c.table, c.column, c.before);
    const DatabaseRows before = read_all_tables(db);
    const std::string original = file_bytes(db);
    bool crashed = false;
    {
      WriteCrashAfter crash(k);
      try {
        Database::open(db).update_column(c.table, c.column, c.value);
      } catch (const SimulatedCrash&) {
        crashed = true;
      }
    }
    if (!crashed) {
      expect_updated(db, before, c.table, c.column, c.value);
      return k;
    }
    expect_old_or_new(db, before, c.table, c.column, c.value, c.indexed);
    if (c.indexed) expect_index_pages_old_or_new(file_bytes(db), original, completed);
    if (::testing::Test::HasFailure() || k > 500) return k;
  }
}

class CrashLoop : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashLoop, EveryPrefixOfTheWritesLeavesAValidFile) {
  NORV_REQUIRE_FIXTURES();
  const std::uint64_t writes = crash_at_every_write(GetParam());
  EXPECT_GT(writes, 0u);
}

// A disk that fills up while the update appends pages, at every page it
// could fill at: the update is refused, naming the file, and the file is
// byte for byte as it was (no orphan page at its end).
TEST_P(CrashLoop, AFullDiskLeavesTheFileAsItWas) {
  NORV_REQUIRE_FIXTURES();
  const CrashCase& c = GetParam();
  test::TempDir dir;
  const auto db = test::copy_fixture(c.fixture, dir.path());
  if (!is_null(c.before)) Database::open(db).update_column(c.table, c.column, c.before);
  const std::string original = file_bytes(db);
  const auto grown = dir / "grown.mdb";
  std::filesystem::copy_file(db, grown);
  Database::open(grown).update_column(c.table, c.column, c.value);
  const std::uint64_t grown_size = std::filesystem::file_size(grown);
  for (std::uint64_t free = 0; original.size() + free < grown_size; free += 2048) {
    SCOPED_TRACE(std::to_string(free) + " bytes free");
    {
      DiskFullPast full(original.size() + free);
      try {
        Database::open(db).update_column(c.table, c.column, c.value);
        ADD_FAILURE() << "the update went through on a full disk";
      } catch (const IoError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr(db.string()));
        EXPECT_THAT(error.what(), ::testing::HasSubstr("free some space"));
      }
    }
    ASSERT_TRUE(file_bytes(db) == original) << "the refused update changed the file";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Updates, CrashLoop,
    ::testing::Values(
        // One page, fixed value in place.
        CrashCase{"V2000/control-long.mdb", "Control", "Version", Null{}, std::int32_t{10}},
        // Several rows rewritten within their page.
        CrashCase{"V2003/control-many.mdb", "Control", "Version", Null{},
                  std::string("10.20.30")},
        // Rows moved to a new page: new page, global map, owned map, headers.
        CrashCase{"V2000/control-fullpage.mdb", "Control", "Version", Null{},
                  std::string(100, 'a')},
        // Moved again, old overflow rows deleted last.
        CrashCase{"GENERIC_JET4/control-fullpage.mdb", "Control", "Version",
                  std::string(100, 'a'), std::string(255, 'b')},
        // Memo inline to a long-value chain, and a long Memo to inline.
        CrashCase{"V2003/control-memo.mdb", "Control", "Version", Null{},
                  std::string(6000, 'm')},
        CrashCase{"V2000/control-memo-long.mdb", "Control", "Version", Null{},
                  std::string("1.0")},
        // A table on many pages, every row growing.
        CrashCase{"GENERIC_JET4/control-multipage.mdb", "Control", "Version", Null{},
                  std::string(50, 'x')},
        // Jet 3: a table on several pages, rows growing past their pages.
        CrashCase{"V1997/compIndexTestV1997.mdb", "Table1", "DC_AGENTE", Null{},
                  std::string(55, 'd')},
        // An indexed column: index leaf and rows rewritten.
        CrashCase{"V2000/control-indexed.mdb", "Control", "Version", Null{},
                  std::string("1.0"), true},
        CrashCase{"GENERIC_JET4/control-indexed.mdb", "Control", "Version",
                  std::string("0.1"), std::string("10.2 a longer version"), true}));

}  // namespace
}  // namespace norv::jet
