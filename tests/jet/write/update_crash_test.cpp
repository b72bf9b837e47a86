// Power loss during an update, at every point. The update runs on a disk
// in memory that keeps every write and sync (power_loss_storage.h); the
// file is then rebuilt as a power loss at each point may leave it: every
// synced write durable, of the writes since the last sync any subset,
// reaching the disk in any order. Each such file must read with the engine
// and with mdbtools, every value of the updated column must be its old or
// its new one and every other value as it was, the indexes must match
// their rows, and every page must be accounted for in the maps (a reader
// would not notice a lost map write, the next writer would). Once the
// update has returned, nothing a power loss does may undo it.
//
// Each kind of update is tried on databases the creator builds, Jet 3 and
// Jet 4: a fixed value in place, text growing and shrinking in its page,
// rows moving to another page and to new pages and moving again, Memo to a
// long-value chain and back, an indexed column, an index growing into a
// tree of several pages and shrinking back, and updates that take the
// pages earlier ones gave back (rows, a tree, long values). The real-format fixtures
// add their cases when the shared folder is there.
//
// The same updates on a disk that fills up on the way must be refused and
// leave the file as it was, also across a power loss.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/data_page.h"
#include "jet/format/format.h"
#include "jet/format/header.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/format/usage_map.h"
#include "jet/pager/page_file.h"
#include "jet/write/rollback_journal.h"
#include "platform/error.h"
#include "tests/jet/page_accounting.h"
#include "tests/jet/update_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/power_loss_storage.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

struct CrashCase {
  std::string name;
  // Builds the database at the path; false when it cannot (no fixtures).
  std::function<bool(const std::filesystem::path&)> make;
  std::string table;
  std::string column;
  Value before;  // set first, without a crash, when not Null
  Value value;
  bool indexed = false;  // the column is in an index: its pages must be old or new
  bool map_grows = false;  // the table's page map must grow into a reference map
  bool reuses_free_pages = false;  // every page the update needs is a free one
  bool global_map_grows = false;  // the global map must grow into a reference map
};

void PrintTo(const CrashCase& c, std::ostream* out) { *out << c.name; }

std::uint32_t page_size_of(const std::string& file) {
  return file[0x14] == 0 ? 2048 : 4096;  // the format's version byte: 0 is Jet 3
}

// Every index page of `now` is whole: as in `old_file` or as in `new_file`.
void expect_index_pages_old_or_new(const std::string& now, const std::string& old_file,
                                   const std::string& new_file) {
  const std::uint32_t size = page_size_of(old_file);
  ASSERT_GE(now.size(), old_file.size());
  for (std::size_t at = 0; at + size <= old_file.size(); at += size) {
    if (old_file[at] != 0x03 && old_file[at] != 0x04) continue;
    const std::string page = now.substr(at, size);
    EXPECT_TRUE(page == old_file.substr(at, size) || page == new_file.substr(at, size))
        << "index page " << at / size << " is neither old nor new";
  }
}

// The kind of the page map of `table` in `db`.
UsageMapKind owned_map_kind(const std::filesystem::path& db, const std::string& table) {
  PageFile pages = PageFile::open(db, platform::FileMode::read_only);
  return read_usage_map(pages, *read_header(pages).format, definition_of(db, table).owned_pages_map)
      .kind;
}

// The first `length` bytes of `file`: all of it would be a gigabyte.
std::string file_bytes_up_to(const std::filesystem::path& file, std::size_t length) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes(length, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(length));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// Files are told apart by hash: a large table gives many states, and two
// that collide only spare a check.
std::size_t hash_of(const std::string& file) { return std::hash<std::string>{}(file); }

// The database of a case, before the update under test.
struct Start {
  test::TempDir dir;
  std::filesystem::path db;
  DatabaseRows rows;
  std::string bytes;
};

bool prepare(const CrashCase& c, Start& start) {
  start.db = start.dir / "crash.mdb";
  if (!c.make(start.db)) return false;
  if (!is_null(c.before)) Database::open(start.db).update_column(c.table, c.column, c.before);
  start.rows = read_all_tables(start.db);
  start.bytes = file_bytes(start.db);
  return true;
}

// Prepares the case and runs its update once on `storage`, a disk in
// memory that keeps every write; false when the case cannot be made.
bool update_in_memory(const CrashCase& c, Start& start, test::PowerLossStorage& storage) {
  if (!prepare(c, start)) return false;
  storage.add_file(start.db, start.db);
  Database::open(start.db, storage).update_column(c.table, c.column, c.value);
  return true;
}

class CrashLoop : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashLoop, EveryPowerLossLeavesTheOldOrTheNewValue) {
  const CrashCase& c = GetParam();
  Start start;
  test::PowerLossStorage storage;
  if (!update_in_memory(c, start, storage)) GTEST_SKIP() << "shared fixtures not found";
  EXPECT_FALSE(storage.has_unsynced_operations(start.db))
      << "the update returned before its writes were durable";

  const std::string completed = storage.contents(start.db);
  const auto file = start.dir / "after.mdb";
  test::write_file(file, completed);
  expect_updated(file, start.rows, c.table, c.column, c.value);
  expect_pages_accounted_for(file);
  if (c.map_grows) {
    EXPECT_EQ(owned_map_kind(file, c.table), UsageMapKind::reference);
  }
  if (c.global_map_grows) {
    PageFile pages = PageFile::open(file, platform::FileMode::read_only);
    EXPECT_EQ(read_usage_map(pages, *read_header(pages).format, global_usage_map, MapSense::free)
                  .kind,
              UsageMapKind::reference);
  }
  if (c.reuses_free_pages) {
    EXPECT_EQ(completed.size(), start.bytes.size()) << "the update appended pages";
    EXPECT_NE(completed, start.bytes);
  }
  ASSERT_FALSE(HasFailure());

  std::set<std::size_t> seen{hash_of(start.bytes), hash_of(completed)};
  std::size_t checked = 0;
  for (const test::PowerLoss& loss : storage.power_losses(start.db)) {
    const std::string bytes = storage.after(start.db, loss);
    if (!seen.insert(hash_of(bytes)).second) continue;
    SCOPED_TRACE(loss.describe());
    test::write_file(file, bytes);
    expect_old_or_new(file, start.rows, c.table, c.column, c.value, c.indexed);
    expect_pages_accounted_for(file);
    if (c.indexed) expect_index_pages_old_or_new(bytes, start.bytes, completed);
    ++checked;
    if (HasFailure()) break;
  }
  RecordProperty("power_loss_states", static_cast<int>(checked));
}

// A disk that fills up while the update appends pages, at every page it
// could fill at: the update is refused, naming the file, and the file is
// byte for byte as it was (no orphan page at its end), durably so; a power
// loss on the way leaves it reading as before.
TEST_P(CrashLoop, AFullDiskLeavesTheFileAsItWas) {
  const CrashCase& c = GetParam();
  Start start;
  test::PowerLossStorage roomy;
  if (!update_in_memory(c, start, roomy)) GTEST_SKIP() << "shared fixtures not found";
  const std::uint64_t grown_size = roomy.contents(start.db).size();

  const auto file = start.dir / "after.mdb";
  const std::uint32_t page_size = page_size_of(start.bytes);
  const std::uint64_t last_free = grown_size - start.bytes.size() - page_size;
  for (std::uint64_t free = 0; start.bytes.size() + free < grown_size; free += page_size) {
    SCOPED_TRACE(std::to_string(free) + " bytes free");
    test::PowerLossStorage full;
    full.add_file(start.db, start.db);
    full.fill_disk_past(start.bytes.size() + free);
    try {
      Database::open(start.db, full).update_column(c.table, c.column, c.value);
      ADD_FAILURE() << "the update went through on a full disk";
    } catch (const IoError& error) {
      EXPECT_THAT(error.what(), ::testing::HasSubstr(start.db.string()));
      EXPECT_THAT(error.what(), ::testing::HasSubstr("free some space"));
    }
    ASSERT_TRUE(full.contents(start.db) == start.bytes) << "the refused update changed the file";
    EXPECT_FALSE(full.has_unsynced_operations(start.db))
        << "a power loss after the refusal may bring the cut pages back";
    // A power loss before the cut was synced leaves some of the appended
    // pages. One page and the most pages stand for every fill level: a
    // table on many pages would otherwise take minutes.
    if (free != page_size && free != last_free) continue;
    for (const test::PowerLoss& loss : full.power_losses(start.db)) {
      const std::string bytes = full.after(start.db, loss);
      if (bytes == start.bytes) continue;
      SCOPED_TRACE(loss.describe());
      test::write_file(file, bytes);
      expect_unchanged(file, start.rows);
      expect_pages_accounted_for(file);
      if (HasFailure()) return;
    }
  }
}

// After a power loss at any point of an update, the next open undoes it
// from its journal or finds it complete: the file is then byte for byte as
// before the update or as the update left it, and no journal remains. The
// journal itself may be cut short by the power loss: the database was not
// touched yet, and the torn journal is dropped.
class CrashRecovery : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashRecovery, TheNextOpenLeavesAllOldOrAllNew) {
  const CrashCase& c = GetParam();
  Start start;
  test::PowerLossStorage storage;
  if (!update_in_memory(c, start, storage)) GTEST_SKIP() << "shared fixtures not found";
  const auto journal = journal_path(start.db);
  ASSERT_FALSE(storage.exists(journal)) << "the journal outlived the update";
  const std::string completed = storage.contents(start.db);
  // None when the update rewrote one page only: every state is then old or
  // new by itself.
  const std::optional<std::string> written_journal =
      storage.ever_existed(journal) ? std::optional<std::string>(storage.contents(journal))
                                    : std::nullopt;

  std::set<std::size_t> seen;
  std::size_t restored = 0;
  for (const test::PowerLoss& loss : storage.power_losses(start.db)) {
    const std::string bytes = storage.after(start.db, loss);
    if (!seen.insert(hash_of(bytes)).second) continue;
    SCOPED_TRACE(loss.describe());
    test::PowerLossStorage next;
    next.add_contents(start.db, bytes);
    if (written_journal) next.add_contents(journal, *written_journal);
    const bool was_restored = Database::open(start.db, next).restored_interrupted_update();
    const std::string now = next.contents(start.db);
    EXPECT_TRUE(now == start.bytes || now == completed) << "neither the old nor the new file";
    EXPECT_EQ(was_restored, bytes != start.bytes && bytes != completed);
    EXPECT_FALSE(next.exists(journal));
    restored += was_restored ? 1 : 0;
    if (HasFailure()) break;
  }
  RecordProperty("restored_states", static_cast<int>(restored));

  if (!written_journal) return;
  for (const test::PowerLoss& loss : storage.power_losses(journal)) {
    SCOPED_TRACE("journal: " + loss.describe());
    test::PowerLossStorage next;
    next.add_contents(start.db, start.bytes);
    next.add_contents(journal, storage.after(journal, loss));
    EXPECT_FALSE(Database::open(start.db, next).restored_interrupted_update());
    EXPECT_TRUE(next.contents(start.db) == start.bytes);
    EXPECT_FALSE(next.exists(journal));
  }
}

// A write that fails anywhere in the update (the journal's own included)
// makes it a refusal that names the file, and the file is byte for byte as
// it was with no journal left: at once when the undo can be written, after
// the next open when the fault lasts.
TEST_P(CrashRecovery, AFailedWriteLeavesTheFileAsItWas) {
  const CrashCase& c = GetParam();
  Start start;
  test::PowerLossStorage roomy;
  if (!update_in_memory(c, start, roomy)) GTEST_SKIP() << "shared fixtures not found";
  const auto journal = journal_path(start.db);
  std::size_t writes = roomy.ever_existed(journal) ? 1 : 0;  // the journal's
  for (const test::StorageOperation& operation : roomy.journal(start.db))
    writes += operation.kind == test::StorageOperation::Kind::write ? 1 : 0;

  // Every write of a small update; about a dozen spread over a large one.
  const std::size_t step = std::max<std::size_t>(1, writes / 12);
  for (std::size_t failing = 0; failing < writes; failing += step) {
    for (const bool lasting : {false, true}) {
      SCOPED_TRACE("write " + std::to_string(failing) + (lasting ? ", lasting fault" : ""));
      test::PowerLossStorage storage;
      storage.add_file(start.db, start.db);
      storage.fail_writes_after(failing, lasting ? writes * 2 : 1);
      try {
        Database::open(start.db, storage).update_column(c.table, c.column, c.value);
        ADD_FAILURE() << "the update succeeded although a write failed";
      } catch (const IoError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr(start.db.string()));
      }
      if (lasting) {
        storage.clear_faults();
        Database::open(start.db, storage);
      }
      EXPECT_TRUE(storage.contents(start.db) == start.bytes) << "the file changed";
      EXPECT_FALSE(storage.has_unsynced_operations(start.db));
      EXPECT_FALSE(storage.exists(journal));
      if (HasFailure()) return;
    }
  }
}

// A one-row Control whose Version is indexed, at `path`: its update writes
// two pages (the row's and the leaf) and so keeps a journal.
std::filesystem::path indexed_control(const std::filesystem::path& path) {
  DatabaseSpec spec;
  spec.tables.push_back(TableSpec{"Control", {column("Version", ColumnType::text, 255)}, {}, {}});
  spec.tables.back().rows.push_back({std::string("0.9")});
  spec.tables.back().indexes.push_back({"VersionIdx", {"Version"}, false, false});
  create_database(path, spec);
  return path;
}

// Another program changed the file after the interruption: the journal is
// not applied (its old pages would undo that change), the file keeps what
// the other program wrote, and the message names the file and the journal.
TEST(CrashRecovery, AFileChangedSinceTheInterruptionIsNotRestored) {
  test::TempDir dir;
  const auto db = indexed_control(dir / "changed.mdb");
  const auto journal = journal_path(db);
  test::PowerLossStorage storage;
  storage.add_file(db, db);
  Database::open(db, storage).update_column("Control", "Version", std::string("2.0"));
  const std::string before = file_bytes(db);
  const std::string written_journal = storage.contents(journal);
  const std::uint32_t page_size = page_size_of(before);

  const std::string completed = storage.contents(db);
  std::size_t written_page = 1;
  while (before.compare(written_page * page_size, page_size, completed, written_page * page_size,
                        page_size) == 0)
    ++written_page;

  struct Change {
    std::string name;
    std::function<void(std::string&)> apply;
  };
  const Change changes[] = {
      // Neither its old image nor one the update wrote.
      {"a page the update wrote", [&](std::string& f) { f[written_page * page_size + 40] ^= 0x5A; }},
      {"a page added at the end", [&](std::string& f) { f.append(page_size, '\x01'); }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    std::string bytes = before;  // interrupted before its first page: old pages
    change.apply(bytes);
    test::PowerLossStorage next;
    next.add_contents(db, bytes);
    next.add_contents(journal, written_journal);
    try {
      Database::open(db, next);
      ADD_FAILURE() << "a changed file was opened";
    } catch (const CorruptDatabaseError& error) {
      EXPECT_THAT(error.what(), ::testing::HasSubstr(db.string()));
      EXPECT_THAT(error.what(), ::testing::HasSubstr(journal.string()));
      EXPECT_THAT(error.what(), ::testing::HasSubstr("another program"));
    }
    EXPECT_TRUE(next.contents(db) == bytes) << "the changed file was written";
    EXPECT_TRUE(next.exists(journal));
  }
}

// The same on the operating system's files: an interrupted update found
// beside a database on disk is restored when the database is opened, and
// the journal removed; a database that cannot be written is not read
// while a journal lies beside it, and both stay as they are.
TEST(CrashRecovery, AJournalOnDiskIsActedOnWhenTheDatabaseIsOpened) {
  test::TempDir dir;
  const auto db = indexed_control(dir / "on-disk.mdb");
  const std::string before = file_bytes(db);
  const auto journal = journal_path(db);
  test::PowerLossStorage storage;
  storage.add_file(db, db);
  Database::open(db, storage).update_column("Control", "Version", std::string("2.0"));
  ASSERT_FALSE(std::filesystem::exists(journal)) << "the journal went to the real disk";
  // The row's page written, the leaf's write lost: half an update.
  const std::string half = storage.after(db, test::PowerLoss{0, {storage.stages(db)[0].first}});
  ASSERT_TRUE(half != before && half != storage.contents(db));

#ifndef _WIN32  // a read-only attribute does not keep an administrator out
  test::write_file(db, half);
  test::write_file(journal, storage.contents(journal));
  std::filesystem::permissions(db, std::filesystem::perms::owner_read |
                                       std::filesystem::perms::group_read |
                                       std::filesystem::perms::others_read);
  try {
    Database::open(db);
    ADD_FAILURE() << "a half-updated database was read";
  } catch (const IoError& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr("make it writable"));
  }
  EXPECT_TRUE(file_bytes(db) == half);
  EXPECT_TRUE(std::filesystem::exists(journal));
  std::filesystem::permissions(db, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
#endif

  test::write_file(db, half);
  test::write_file(journal, storage.contents(journal));
  EXPECT_TRUE(Database::open(db).restored_interrupted_update());
  EXPECT_TRUE(file_bytes(db) == before) << "not restored";
  EXPECT_FALSE(std::filesystem::exists(journal));
  EXPECT_FALSE(Database::open(db).restored_interrupted_update());
}

// A database of `tables`, encoded with `encoding_key` when it is not 0.
std::function<bool(const std::filesystem::path&)> created(FormatVersion format,
                                                          std::uint32_t encoding_key,
                                                          std::vector<TableSpec> tables) {
  return [format, encoding_key, tables](const std::filesystem::path& path) {
    DatabaseSpec spec;
    spec.format = format;
    spec.encoding_key = encoding_key;
    spec.tables = tables;
    create_database(path, spec);
    return true;
  };
}

std::function<bool(const std::filesystem::path&)> created(FormatVersion format,
                                                          std::uint32_t encoding_key,
                                                          TableSpec table) {
  return created(format, encoding_key, std::vector<TableSpec>{std::move(table)});
}

// A table of Memo values long enough (about 1,050 long-value pages in
// either format) that the file outgrows the smallest inline map. The
// creator sizes a table's inline map to the whole file, so a table before
// it has its pages more than a map's reach apart only once its rows move
// to enough new pages past the file's end.
TableSpec filler_table() {
  TableSpec table{"Filler",
                  {column("ID", ColumnType::long_integer), column("Notes", ColumnType::memo)},
                  {},
                  {}};
  for (std::int32_t id = 1; id <= 140; ++id) table.rows.push_back({id, std::string(15'000, 'f')});
  return table;
}

// A table of `rows` rows of `id`, `column` = `value`.
TableSpec table_of(std::string name, ColumnSpec changed, Value value, std::int32_t rows) {
  TableSpec table{std::move(name), {column("ID", ColumnType::long_integer), std::move(changed)},
                  {}, {}};
  for (std::int32_t id = 1; id <= rows; ++id) table.rows.push_back({id, value});
  return table;
}

// `rows` rows with `filler` characters each: the first page full, the
// last with room.
TableSpec filled_pages(std::int32_t rows, std::size_t filler) {
  TableSpec table{"Parts",
                  {column("ID", ColumnType::long_integer), column("Version", ColumnType::text, 255),
                   column("Filler", ColumnType::text, 255)},
                  {},
                  {}};
  for (std::int32_t id = 1; id <= rows; ++id)
    table.rows.push_back({id, std::string("0.9"), std::string(filler, 'f')});
  return table;
}

// One update made while a case's database is built.
struct EarlierUpdate {
  std::string table;
  std::string column;
  Value value;
};

// `make`, then `updates` in order: a file whose global map offers the
// pages they freed.
std::function<bool(const std::filesystem::path&)> then_updated(
    std::function<bool(const std::filesystem::path&)> make, std::vector<EarlierUpdate> updates) {
  return [make, updates](const std::filesystem::path& path) {
    if (!make(path)) return false;
    for (const EarlierUpdate& u : updates)
      Database::open(path).update_column(u.table, u.column, u.value);
    return true;
  };
}

// `rows` Memo values of 3,000 characters, two long-value pages each.
TableSpec long_memos(std::int32_t rows) {
  return table_of("Notes", column("Notes", ColumnType::memo), std::string(3000, 'n'), rows);
}

// With a non-zero `encoding_key` the databases are encoded ones.
std::vector<CrashCase> created_cases(std::uint32_t encoding_key = 0) {
  std::vector<CrashCase> out;
  for (FormatVersion format : {FormatVersion::jet3, FormatVersion::jet4}) {
    const std::string prefix = std::string(encoding_key != 0 ? "Encoded" : "") +
                               (format == FormatVersion::jet3 ? "Jet3_" : "Jet4_");
    const Value version = std::string("0.9");
    TableSpec indexed = table_of("Control", column("Version", ColumnType::text), version, 6);
    indexed.indexes.push_back({"VersionIdx", {"Version"}, false, false});
    // Keys that differ in their first bytes: long values split the leaf.
    TableSpec split = table_of("Control", column("Version", ColumnType::text, 255), version, 30);
    split.indexes.push_back({"IdVersion", {"ID", "Version"}, false, false});
    const CrashCase cases[] = {
        {"FixedValueInPlace",
         created(format, encoding_key, table_of("Control", column("Build", ColumnType::long_integer),
                                  std::int32_t{1}, 4)),
         "Control", "Build", Null{}, std::int32_t{10}},
        {"TextGrowsInItsPage",
         created(format, encoding_key, table_of("Control", column("Version", ColumnType::text, 255), version, 8)),
         "Control", "Version", Null{}, std::string("10.20.30")},
        {"TextShrinksInItsPage",
         created(format, encoding_key, table_of("Control", column("Version", ColumnType::text, 255), version, 8)),
         "Control", "Version", std::string(120, 'v'), std::string("1")},
        // Rows on the first page that no longer fit it move to the room on
        // the second; no page is added.
        {"RowsMoveToAnotherPage", created(format, encoding_key, filled_pages(9, 255)), "Parts", "Version",
         Null{}, std::string(30, 'a')},
        {"RowsMoveToOtherAndNewPages", created(format, encoding_key, filled_pages(24, 120)), "Parts",
         "Version", Null{}, std::string(100, 'a')},
        {"MovedRowsMoveAgain", created(format, encoding_key, filled_pages(24, 120)), "Parts", "Version",
         std::string(100, 'a'), std::string(200, 'b')},
        {"MemoInlineToALongValueChain",
         created(format, encoding_key, table_of("Notes", column("Notes", ColumnType::memo), version, 3)),
         "Notes", "Notes", Null{}, std::string(6000, 'm')},
        {"MemoLongValueToInline",
         created(format, encoding_key, table_of("Notes", column("Notes", ColumnType::memo), version, 3)),
         "Notes", "Notes", std::string(6000, 'm'), std::string("1.0")},
        {"IndexedText", created(format, encoding_key, indexed), "Control", "Version", Null{},
         std::string("10.2 a longer version"), true},
        // Rows moving to some twenty new pages take the table's pages
        // further apart than its inline map reaches: the map becomes a
        // reference map, its bitmap page written before the map row.
        {"PageMapGrowsIntoAReferenceMap", created(format, encoding_key, {filled_pages(100, 120), filler_table()}),
         "Parts", "Version", Null{}, std::string(255, 'a'), false, true},
        {"IndexSplitsIntoATree", created(format, encoding_key, split), "Control", "Version", Null{},
         std::string(255, 's'), true},
        {"IndexTreeShrinksToOneLeaf", created(format, encoding_key, split), "Control", "Version",
         std::string(255, 's'), std::string("1"), true},
        // The pages of a tree that shrank back to its root, free again,
        // take the tree rebuilt once more.
        {"IndexTreeRebuiltIntoFreedPages",
         then_updated(created(format, encoding_key, split),
                      {{"Control", "Version", std::string(255, 's')}}),
         "Control", "Version", std::string("1"), std::string(255, 't'), true, false, true},
        // Rows outgrowing their pages move into the pages another table's
        // index gave back.
        {"RowsMoveIntoFreedPages",
         then_updated(created(format, encoding_key, {filled_pages(24, 120), split}),
                      {{"Control", "Version", std::string(255, 's')},
                       {"Control", "Version", std::string("1")}}),
         "Parts", "Version", Null{}, std::string(100, 'a'), false, false, true},
        // Every long value replaced: their pages are given back, and the
        // next values are written into them.
        {"LongValueIntoFreedPages",
         then_updated(created(format, encoding_key,
                              table_of("Notes", column("Notes", ColumnType::memo), version, 3)),
                      {{"Notes", "Notes", std::string(6000, 'm')}}),
         "Notes", "Notes", std::string(6000, 'n'), std::string(6000, 'o'), false, false, true},
        // Long values given back past the global map's window: the map
        // becomes a reference map, its bitmap page written before the map
        // row, and the new values take the pages the earlier ones left.
        {"GlobalMapGrowsToTakeBackPages",
         then_updated(created(format, encoding_key, long_memos(260)),
                      {{"Notes", "Notes", std::string(3000, 'a')}}),
         "Notes", "Notes", Null{}, std::string(3000, 'b'), false, false, false, true},
    };
    for (const CrashCase& c : cases) {
      out.push_back(c);
      out.back().name = prefix + c.name;
    }
  }
  return out;
}

std::function<bool(const std::filesystem::path&)> fixture(std::string relative) {
  return [relative](const std::filesystem::path& path) {
    if (!test::fixtures_dir()) return false;
    std::filesystem::rename(test::copy_fixture(relative, path.parent_path()), path);
    return true;
  };
}

// The real-format files, when the shared folder is there.
std::vector<CrashCase> fixture_cases() {
  return {
      // One page, fixed value in place.
      {"V2000_FixedInPlace", fixture("V2000/control-long.mdb"), "Control", "Version", Null{},
       std::int32_t{10}},
      // Several rows rewritten within their page.
      {"V2003_RowsRewrittenInTheirPage", fixture("V2003/control-many.mdb"), "Control", "Version",
       Null{}, std::string("10.20.30")},
      // Rows moved to a new page: new page, global map, owned map, headers.
      {"V2000_RowsMoveToANewPage", fixture("V2000/control-fullpage.mdb"), "Control", "Version",
       Null{}, std::string(100, 'a')},
      // Moved again, old overflow rows deleted last.
      {"Generic_MovedAgain", fixture("GENERIC_JET4/control-fullpage.mdb"), "Control", "Version",
       std::string(100, 'a'), std::string(255, 'b')},
      // Memo inline to a long-value chain, and a long Memo to inline.
      {"V2003_MemoToAChain", fixture("V2003/control-memo.mdb"), "Control", "Version", Null{},
       std::string(6000, 'm')},
      {"V2000_LongMemoToInline", fixture("V2000/control-memo-long.mdb"), "Control", "Version",
       Null{}, std::string("1.0")},
      // A table on many pages, every row growing.
      {"Generic_ManyPages", fixture("GENERIC_JET4/control-multipage.mdb"), "Control", "Version",
       Null{}, std::string(50, 'x')},
      // Jet 3: a table on several pages, rows growing past their pages.
      {"V1997_RowsGrowPastTheirPages", fixture("V1997/compIndexTestV1997.mdb"), "Table1",
       "DC_AGENTE", Null{}, std::string(55, 'd')},
      // An indexed column: index leaf and rows rewritten.
      {"V2000_Indexed", fixture("V2000/control-indexed.mdb"), "Control", "Version", Null{},
       std::string("1.0"), true},
      {"Generic_Indexed", fixture("GENERIC_JET4/control-indexed.mdb"), "Control", "Version",
       std::string("0.1"), std::string("10.2 a longer version"), true},
  };
}

std::string case_name(const ::testing::TestParamInfo<CrashCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Created, CrashLoop, ::testing::ValuesIn(created_cases()), case_name);
INSTANTIATE_TEST_SUITE_P(Fixtures, CrashLoop, ::testing::ValuesIn(fixture_cases()), case_name);
// Every power-loss state and every full disk on encoded twins too: each
// state must read with the engine and with mdbtools as on a plain file.
INSTANTIATE_TEST_SUITE_P(Encoded, CrashLoop, ::testing::ValuesIn(created_cases(0x5EED1234)),
                         case_name);

// The recovery holds for every case above, and for a table on many pages
// whose index is rebuilt: its rows and its tree are written in different
// stages, so only the journal keeps them in step across a power loss.
std::vector<CrashCase> recovery_cases() {
  std::vector<CrashCase> out = created_cases();
  for (const CrashCase& c : fixture_cases()) out.push_back(c);
  // Encoded files: the journal keeps plain page images, the file encoded
  // ones; the undo must compare and write them alike.
  for (const CrashCase& c : created_cases(0x5EED1234)) out.push_back(c);
  for (FormatVersion format : {FormatVersion::jet3, FormatVersion::jet4}) {
    TableSpec numbers = table_of("T", column("N", ColumnType::long_integer), Null{}, 0);
    for (std::int32_t id = 1; id <= 20'000; ++id) numbers.rows.push_back({id, id + 10});
    numbers.indexes.push_back({"NIdx", {"N"}, false, false});
    out.push_back({format == FormatVersion::jet3 ? "Jet3_ManyRowsIndexed" : "Jet4_ManyRowsIndexed",
                   created(format, 0, numbers), "T", "N", Null{}, std::int32_t{99'999}, true});
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(All, CrashRecovery, ::testing::ValuesIn(recovery_cases()), case_name);

// Clears every bit of the global map of the plain file `db`, as a file
// with no free page left has it: an inline map's bitmap, or each bitmap
// page of a reference map.
void use_every_free_page(const std::filesystem::path& db) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> cleared;  // offset, length
  {
    PageFile pages = PageFile::open(db, platform::FileMode::read_only);
    const Format& format = *read_header(pages).format;
    const Page page = pages.page(global_usage_map.page);
    const Bytes row = DataPage::parse(format, page).body(global_usage_map.row);
    const std::uint64_t row_at = global_usage_map.page * std::uint64_t{format.page_size} +
                                 static_cast<std::uint64_t>(row.data() - page.bytes().data());
    if (row[0] == static_cast<std::uint8_t>(UsageMapKind::inline_bitmap))
      cleared.emplace_back(row_at + 5, row.size() - 5);
    for (std::uint32_t bitmap : read_usage_map(pages, format, global_usage_map, MapSense::free)
                                    .bitmap_pages)
      cleared.emplace_back(std::uint64_t{bitmap} * format.page_size + 4, format.page_size - 4);
  }
  std::fstream file(db, std::ios::binary | std::ios::in | std::ios::out);
  for (const auto& [at, length] : cleared) {
    file.seekp(static_cast<std::streamoff>(at));
    file.write(std::string(length, '\0').data(), static_cast<std::streamsize>(length));
  }
}

// A file grown to just under the format's largest size, padded with pages
// no map names (sparse on disk). While the global map offers the padding
// as free, an update that needs pages takes them and the file keeps its
// size. With no free page left, an update that needs a page more is
// refused before anything is written, naming the file and saying to
// compact it; one that rewrites its rows in place still goes through.
TEST(FileSizeLimit, AnUpdateThatWouldCrossItIsRefused) {
  for (FormatVersion format : {FormatVersion::jet3, FormatVersion::jet4}) {
    SCOPED_TRACE(format == FormatVersion::jet3 ? "Jet 3" : "Jet 4");
    test::TempDir dir;
    const std::uint64_t limit = format_for(format).max_file_size;
    const std::uint32_t page_size = format == FormatVersion::jet3 ? 2048 : 4096;
    const auto grown = [&](const std::filesystem::path& path) {
      created(format, 0, filled_pages(24, 120))(path);
      std::filesystem::resize_file(path, limit - page_size);  // room for one page
    };
    const auto db = dir / "large.mdb";
    const auto with_free_pages = dir / "free.mdb";
    grown(db);
    grown(with_free_pages);
    // Rows that outgrow their pages move to new ones.
    EXPECT_EQ(Database::open(with_free_pages).update_column("Parts", "Version",
                                                            std::string(100, 'a')),
              24u);
    EXPECT_EQ(std::filesystem::file_size(with_free_pages), limit - page_size);

    use_every_free_page(db);
    const std::string front = file_bytes_up_to(db, 64 * 1024);
    try {
      Database::open(db).update_column("Parts", "Version", std::string(100, 'a'));
      ADD_FAILURE() << "the file grew past the limit";
    } catch (const NotSupportedError& error) {
      EXPECT_THAT(error.what(), ::testing::HasSubstr(db.string()));
      EXPECT_THAT(error.what(), ::testing::HasSubstr("compact the database in Access"));
    }
    EXPECT_EQ(std::filesystem::file_size(db), limit - page_size);
    EXPECT_TRUE(file_bytes_up_to(db, 64 * 1024) == front) << "the refused update wrote";
    EXPECT_FALSE(std::filesystem::exists(journal_path(db)));
    EXPECT_EQ(Database::open(db).update_column("Parts", "Version", std::string("2")), 24u);
  }
}

}  // namespace
}  // namespace norv::jet
