// Updating a column of an enforced relationship: a value is related when
// its index key equals the key of a value on the other side, so text that
// the General sort order weighs alike ("strasse" and "Straße", a trailing
// blank, "ae" and "æ", final and capital sigma) is related, and text it
// tells apart is not. Accepted updates read back with both readers and a
// sound index check (expect_updated); refused ones leave the file byte for
// byte as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "platform/error.h"
#include "tests/jet/update_support.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

struct RelatedPair {
  const char* stored;  // on one side of the relationship
  const char* given;   // the value an update gives the other side
  bool related;
  bool jet3_text;  // both texts exist in code page 1252
};

const RelatedPair pairs[] = {
    {"Stra\xC3\x9F" "e", "strasse", true, true},
    {"a", "a ", true, true},
    {"\xC3\xA6", "ae", true, true},
    {"\xCE\xA3", "\xCF\x82", true, false},
    {"a", "b", false, true},
    {"Stra\xC3\x9F" "e", "strase", false, true},
};

// Streets.Name is referenced by Deliveries.Street; both are indexed, the
// referenced one uniquely. Each table holds one row.
DatabaseSpec streets_and_deliveries(FormatVersion format, const Value& street, const Value& delivery) {
  DatabaseSpec spec;
  spec.format = format;
  spec.tables = {
      {"Streets",
       {column("Id", ColumnType::long_integer), column("Name", ColumnType::text)},
       {{"PrimaryKey", {"Id"}, true, true, {}}, {"Name", {"Name"}, false, true, {}}},
       {{std::int32_t{1}, street}}},
      {"Deliveries",
       {column("Id", ColumnType::long_integer), column("Street", ColumnType::text)},
       {{"PrimaryKey", {"Id"}, true, true, {}}, {"Street", {"Street"}, false, false, {}}},
       {{std::int32_t{1}, delivery}}}};
  spec.relationships = {{"StreetsDeliveries", "Deliveries", "Street", "Streets", "Name", false}};
  return spec;
}

class RelatedUpdate : public ::testing::TestWithParam<FormatVersion> {
 protected:
  std::filesystem::path create(const Value& street, const Value& delivery) {
    const auto path = dir_.path() / "related.mdb";
    create_database(path, streets_and_deliveries(GetParam(), street, delivery), {.overwrite = true});
    return path;
  }

  // The update is made and reads back, or is refused with `words` and
  // changes nothing.
  static void expect_outcome(const std::filesystem::path& db, const std::string& table,
                             const std::string& column, const std::string& value, bool accepted,
                             const std::string& words) {
    const std::string bytes = file_bytes(db);
    const DatabaseRows before = read_all_tables(db);
    if (accepted) {
      Database::open(db).update_column(table, column, value);
      expect_updated(db, before, table, column, value);
      return;
    }
    try {
      Database::open(db).update_column(table, column, value);
      ADD_FAILURE() << "the update was not refused";
    } catch (const InvalidArgumentError& error) {
      EXPECT_THAT(error.what(), HasSubstr(db.string() + ": "));
      EXPECT_THAT(error.what(), HasSubstr(words));
    }
    EXPECT_TRUE(file_bytes(db) == bytes) << "the file changed";
    expect_unchanged(db, before);
  }

  test::TempDir dir_;
};

TEST_P(RelatedUpdate, ReferencingValueMatchesByIndexKey) {
  for (const RelatedPair& pair : pairs) {
    if (GetParam() == FormatVersion::jet3 && !pair.jet3_text) continue;
    SCOPED_TRACE(std::string(pair.stored) + " / " + pair.given);
    const auto db = create(std::string(pair.stored), Null{});
    expect_outcome(db, "Deliveries", "Street", pair.given, pair.related,
                   "a related record is required in table 'Streets'");
  }
}

TEST_P(RelatedUpdate, ReferencedValueKeepsTheRowsThatReferToIt) {
  for (const RelatedPair& pair : pairs) {
    if (GetParam() == FormatVersion::jet3 && !pair.jet3_text) continue;
    SCOPED_TRACE(std::string(pair.stored) + " / " + pair.given);
    const auto db = create(std::string(pair.stored), std::string(pair.stored));
    expect_outcome(db, "Streets", "Name", pair.given, pair.related,
                   "table 'Deliveries' includes related records");
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, RelatedUpdate,
                         ::testing::Values(FormatVersion::jet3, FormatVersion::jet4),
                         [](const auto& info) {
                           return info.param == FormatVersion::jet4 ? "Jet4" : "Jet3";
                         });

}  // namespace
}  // namespace norv::jet
