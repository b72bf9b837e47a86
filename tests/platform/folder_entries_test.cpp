#include "platform/folder_entries.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/path_text.h"
#include "tests/support/file_time.h"
#include "tests/support/temp_dir.h"

namespace norv::platform {
namespace {

namespace fs = std::filesystem;

// A folder last changed an hour ago, as an installed suite's folders are.
void date_back(const fs::path& folder) {
  test::set_modification_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(1));
}

TEST(FindEntryIgnoringCase, FindsAnySpellingAndSeesChangesToASettledFolder) {
  test::TempDir dir;
  test::write_file(dir / "BV0001.mdb", "");
  date_back(dir.path());
  EXPECT_EQ(find_entry_ignoring_case(dir.path(), "bv0001.ldb"), fs::path());
  EXPECT_EQ(find_entry_ignoring_case(dir.path(), "bv0001.MDB"), dir / "BV0001.mdb");

  test::write_file(dir / "Bv0001.LdB", "");
  EXPECT_EQ(find_entry_ignoring_case(dir.path(), "BV0001.ldb"), dir / "Bv0001.LdB");
  fs::remove(dir / "Bv0001.LdB");
  EXPECT_EQ(find_entry_ignoring_case(dir.path(), "BV0001.ldb"), fs::path());
}

TEST(FindEntryIgnoringCase, AnswersANameOutsideAsciiWithTheFileItNames) {
  test::TempDir dir;
  const fs::path file = dir.path() / path_from_utf8("Gr\u00f6\u00dfe.LDB");
  test::write_file(file, "");
  date_back(dir.path());
  const fs::path found = find_entry_ignoring_case(dir.path(), "Gr\u00f6\u00dfe.ldb");
  EXPECT_EQ(found, file);
  EXPECT_TRUE(fs::exists(found));
}

TEST(FindEntryIgnoringCase, ListsAFolderThatChangedJustNowEveryTime) {
  // An entry added in the same clock tick as the change before it leaves
  // the folder's time as it was; only a folder left alone for a while may
  // be answered from an earlier listing.
  test::TempDir dir;
  test::write_file(dir / "Dovrel.mdb", "");
  const fs::file_time_type changed = fs::last_write_time(dir.path());
  EXPECT_EQ(find_entry_ignoring_case(dir.path(), "dovrel.ldb"), fs::path());

  test::write_file(dir / "DOVREL.LDB", "");
  test::set_modification_time(dir.path(), changed);
  EXPECT_EQ(find_entry_ignoring_case(dir.path(), "dovrel.ldb"), dir / "DOVREL.LDB");
}

TEST(FindEntryIgnoringCase, AFolderThatCannotBeListedHasNoEntries) {
  test::TempDir dir;
  EXPECT_EQ(find_entry_ignoring_case(dir / "missing", "a.ldb"), fs::path());
  test::write_file(dir / "file", "");
  EXPECT_EQ(find_entry_ignoring_case(dir / "file", "a.ldb"), fs::path());
}

}  // namespace
}  // namespace norv::platform
