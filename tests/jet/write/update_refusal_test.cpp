// Updates the engine refuses, each before the first write: the file must be
// byte for byte as it was, and the message must name the file and say what
// to do.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "jet/database.h"
#include "platform/database_lock.h"
#include "platform/error.h"
#include "tests/jet/update_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

// Runs the update, which must throw E with a message containing `words`,
// and checks that the file did not change.
template <typename E>
void expect_refused(const std::filesystem::path& db, const std::string& table,
                    const std::string& column, const Value& value, const std::string& words) {
  const std::string bytes = file_bytes(db);
  Database database = Database::open(db);
  try {
    database.update_column(table, column, value);
    ADD_FAILURE() << "the update was not refused";
  } catch (const E& error) {
    EXPECT_THAT(error.what(), HasSubstr(db.string()));
    EXPECT_THAT(error.what(), HasSubstr(words));
  }
  EXPECT_EQ(database.io_stats().pages_written, 0u);
  EXPECT_TRUE(file_bytes(db) == bytes) << db << " changed";
}

class Refusal : public ::testing::Test {
 protected:
  std::filesystem::path copy(const std::string& relative) {
    return test::copy_fixture(relative, dir_.path());
  }
  test::TempDir dir_;
};

// Indexed columns are updated now (update_indexed_test.cpp); giving both
// rows of the shared control tables the same ID breaks their primary key.
TEST_F(Refusal, DuplicateKeyInPrimaryKey) {
  NORV_REQUIRE_FIXTURES();
  for (const char* folder : {"V2000", "V2003", "GENERIC_JET4"}) {
    const auto db = copy(std::string(folder) + "/control-indexed.mdb");
    expect_refused<InvalidArgumentError>(db, "Control", "ID", std::int32_t{3},
                                         "would create duplicate values in the index");
  }
}

// The two enforced relationships of an Access 97 file: Table1.otherfk1
// refers to Table2.id, Table1.otherfk2 to TABLE3.id with cascading
// updates. Values that keep them are set; the others are refused with
// Jet's messages, a cascade as something to do in Access.
TEST_F(Refusal, ColumnsInEnforcedRelationshipsKeepThem) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("V1997/indexTestV1997.mdb");
  expect_refused<InvalidArgumentError>(
      db, "Table1", "otherfk1", std::int32_t{9},
      "You cannot add or change a record because a related record is required in table "
      "'Table2'. (Relationship Table2Table1");
  expect_refused<InvalidArgumentError>(
      db, "Table2", "id", std::int32_t{1},
      "The record cannot be deleted or changed because table 'Table1' includes related records.");
  expect_refused<NotSupportedError>(db, "TABLE3", "ID", std::int32_t{9},
                                    "relationship Table3Table1 cascades updates");
  for (const Value& value : {Value{std::int32_t{2}}, Value{Null{}}}) {
    const DatabaseRows before = read_all_tables(db);
    Database::open(db).update_column("Table1", "otherfk1", value);
    expect_updated(db, before, "Table1", "otherfk1", value);
  }
  const DatabaseRows before = read_all_tables(db);
  Database::open(db).update_column("Table1", "data", std::string("same"));
  expect_updated(db, before, "Table1", "data", std::string("same"));
}

TEST_F(Refusal, ValuesTheColumnCannotHold) {
  NORV_REQUIRE_FIXTURES();
  expect_refused<InvalidArgumentError>(copy("V2000/control-text-short.mdb"), "Control",
                                       "Version", std::string("123"), "at most 2 characters");
  expect_refused<InvalidArgumentError>(copy("V2003/control-long.mdb"), "Control", "Version",
                                       std::string("1.0"), "Version");
  // A Memo takes a text; binary data once reached the planner as no text at all.
  expect_refused<InvalidArgumentError>(
      copy("V2000/control-memo.mdb"), "Control", "Version", Binary{{0x31, 0x2E, 0x30}},
      "column Version (Memo) of table Control cannot hold binary data; give it a text");
  expect_refused<InvalidArgumentError>(
      copy("V2003/control-boolean.mdb"), "Control", "Version", std::string("1.0"),
      "column Version (Yes/No) of table Control cannot hold a text; give it a Yes/No value");
  // Jet 3 text is stored in the database's code page, which has no Greek.
  expect_refused<InvalidArgumentError>(copy("V1997/compIndexTestV1997.mdb"), "Table1", "RS_AGENTE",
                                       std::string("\xCE\xB1"), "");
  // A row over the record-size limit.
  const auto wide = copy("V1997/overflowTestV1997.mdb");
  for (const char* column : {"data1", "data3", "data4", "data5", "data6", "data7", "data8",
                             "data9", "data10"})
    Database::open(wide).update_column("Table1", column, std::string(50, 'w'));
  expect_refused<InvalidArgumentError>(wide, "Table1", "data1", std::string(51, 'w'), "");
}

TEST_F(Refusal, MissingTableOrColumn) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("V2000/control-no-version.mdb");
  expect_refused<InvalidArgumentError>(db, "Control", "Version", std::string("1.0"),
                                       "no column named Version");
  expect_refused<InvalidArgumentError>(db, "Kontrol", "Build", std::string("1.0"), "Kontrol");
}

TEST_F(Refusal, ReadOnlyFileEvenForAUserWhoCouldWriteIt) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("V2000/control-text.mdb");
  std::filesystem::permissions(db, std::filesystem::perms::owner_read |
                                       std::filesystem::perms::group_read |
                                       std::filesystem::perms::others_read);
  expect_refused<IoError>(db, "Control", "Version", std::string("1.0"), "read-only");
}

// Holds a byte-range lock on the .ldb as a Jet connection does.
class JetConnection {
 public:
  JetConnection(const std::filesystem::path& ldb, std::uint64_t user_byte) {
    test::write_file(ldb, std::string(64, '\0'));
    fd_ = ::open(ldb.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(user_byte);
    lock.l_len = 1;
    EXPECT_EQ(::fcntl(fd_, F_SETLK, &lock), 0);
  }
  ~JetConnection() { ::close(fd_); }

 private:
  int fd_ = -1;
};

TEST_F(Refusal, DatabaseOpenInAnotherProgram) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("V2000/control-text.mdb");
  {
    JetConnection jet(dir_ / "control-text.ldb", platform::ldb_first_user_lock);
    expect_refused<InUseError>(db, "Control", "Version", std::string("1.0"),
                               "is open in another program; close it and run again");
  }
  {
    // Under Wine the lock file's name may differ in letter case.
    JetConnection jet(dir_ / "CONTROL-TEXT.LDB", platform::ldb_last_user_lock);
    std::filesystem::remove(dir_ / "control-text.ldb");
    expect_refused<InUseError>(db, "Control", "Version", std::string("1.0"),
                               "open in another program");
  }
  // A lock file nobody holds was left by a crash: the update goes ahead.
  const DatabaseRows before = read_all_tables(db);
  Database::open(db).update_column("Control", "Version", std::string("1.0"));
  expect_updated(db, before, "Control", "Version", std::string("1.0"));
}

TEST_F(Refusal, LockFileThatCannotBeChecked) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("V2003/control-text.mdb");
  test::write_file(dir_ / "control-text.ldb", "");
  std::filesystem::permissions(dir_ / "control-text.ldb", std::filesystem::perms::none);
  if (::geteuid() == 0) GTEST_SKIP() << "root can open any lock file";
  expect_refused<InUseError>(db, "Control", "Version", std::string("1.0"), "cannot be checked");
}

// Opening a named pipe waits for a writer unless told not to: a pipe or a
// folder where the lock file (or the database) should be must be refused at
// once. The alarm turns a hang into a failure.
TEST_F(Refusal, LockFileOrDatabaseThatIsNoOrdinaryFile) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("V2003/control-text.mdb");
  ::alarm(30);
  ASSERT_EQ(::mkfifo((dir_ / "control-text.ldb").c_str(), 0644), 0);
  expect_refused<InUseError>(db, "Control", "Version", std::string("1.0"),
                             (dir_ / "control-text.ldb").string() +
                                 " is not an ordinary file (a pipe, a device or a folder)");
  std::filesystem::remove(dir_ / "control-text.ldb");
  std::filesystem::create_directory(dir_ / "control-text.ldb");
  expect_refused<InUseError>(db, "Control", "Version", std::string("1.0"),
                             "is not an ordinary file");

  ASSERT_EQ(::mkfifo((dir_ / "pipe.mdb").c_str(), 0644), 0);
  try {
    Database::open(dir_ / "pipe.mdb");
    ADD_FAILURE() << "a pipe opened as a database";
  } catch (const Error& error) {
    EXPECT_THAT(error.what(), HasSubstr((dir_ / "pipe.mdb").string()));
  }
  ::alarm(0);
}

TEST_F(Refusal, AnotherRunUpdatingTheSameFile) {
  NORV_REQUIRE_FIXTURES();
  const auto db = copy("V2000/control-many.mdb");
  const platform::File other_run = platform::lock_database_for_update(db);
  expect_refused<InUseError>(db, "Control", "Version", std::string("1.0"),
                             "being updated by another run");
}

}  // namespace
}  // namespace norv::jet
