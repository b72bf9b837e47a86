// Every table of every fixture read by the engine and by mdbtools, field by
// field. mdbtools is the independent reader: where the two disagree one of
// them is wrong, and it must not be ours.

#include <gtest/gtest.h>

#include "jet/database.h"
#include "platform/error.h"
#include "tests/jet/fixture_list.h"
#include "tests/jet/mdbtools_agreement.h"
#include "tests/support/fixtures.h"
#include "tests/support/mdbtools.h"

namespace norv::jet {
namespace {

TEST(MdbtoolsAgreement, EveryUserTableOfEveryFixture) {
  NORV_REQUIRE_FIXTURES();
  NORV_REQUIRE_MDBTOOLS();
  std::size_t tables = 0;
  for (const auto& file : test::all_fixture_databases()) {
    if (file.filename() == "password.mdb") continue;  // refused; see the header tests
    SCOPED_TRACE(file.string());
    const Database db = Database::open(file);
    std::vector<std::string> names;
    for (const CatalogEntry& entry : db.catalog())
      if (entry.kind == CatalogKind::table) names.push_back(entry.name);
    EXPECT_EQ(names, test::mdb_tables(file));
    for (const std::string& name : names) {
      compare_table(db, name);
      ++tables;
    }
  }
  EXPECT_GT(tables, 100u);
}

TEST(MdbtoolsAgreement, SystemTablesOfEachFormat) {
  NORV_REQUIRE_FIXTURES();
  NORV_REQUIRE_MDBTOOLS();
  for (const char* file : {"V1997/testV1997.mdb", "V2000/control-text.mdb",
                           "V2003/many-tables.mdb", "GENERIC_JET4/linked.mdb"}) {
    SCOPED_TRACE(file);
    const Database db = Database::open(test::fixture(file));
    for (const char* table : {"MSysObjects", "MSysQueries", "MSysRelationships"})
      compare_table(db, table);
  }
}

}  // namespace
}  // namespace norv::jet
