// Opening databases through connection strings, and the catalog's names.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/catalog.h"
#include "data/connection.h"
#include "platform/error.h"
#include "tests/data/installed_fixture.h"
#include "tests/support/fixtures.h"

namespace norv::data {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Not;

std::vector<std::string> table_names_of(const std::shared_ptr<Connection>& connection) {
  Catalog catalog;
  catalog.set_active_connection(connection);
  return catalog.table_names();
}

TEST(ConnectionOpen, BothPrefixesOfTheStampingCodeOpenTheSameFile) {
  NORV_REQUIRE_FIXTURES();
  test::InstalledFixture installed("V2000/fendrel.mdb");
  auto spaced = std::make_shared<Connection>(installed.paths());
  spaced->set_connection_string("Provider=MicroSoft.jet.OLEDB.4.0; Data Source= " +
                                installed.windows_path());
  spaced->open();
  auto plain = installed.connect();
  EXPECT_EQ(spaced->database().path(), installed.native());
  EXPECT_EQ(plain->database().path(), installed.native());
  EXPECT_EQ(spaced->data_source(), installed.windows_path());
  EXPECT_EQ(table_names_of(spaced), table_names_of(plain));
}

TEST(ConnectionOpen, ThePathIsMappedOnlyWhenTheConnectionOpens) {
  NORV_REQUIRE_FIXTURES();
  test::InstalledFixture installed("V2000/fendrel.mdb");
  Connection connection(installed.paths());
  connection.set_connection_string("Provider=Microsoft.ACE.OLEDB.12.0; Data Source=x");
  EXPECT_FALSE(connection.is_open());
  EXPECT_THROW(connection.open(), NotSupportedError);
  EXPECT_THROW(connection.database(), InvalidArgumentError);
  EXPECT_THROW(connection.execute("UPDATE Control SET Version = 1"), InvalidArgumentError);
  connection.set_connection_string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                   installed.windows_path());
  connection.open();
  EXPECT_TRUE(connection.is_open());
  EXPECT_THROW(connection.open(), InvalidArgumentError);
}

TEST(ConnectionOpen, AMissingFileIsAnErrorNamingIt) {
  NORV_REQUIRE_FIXTURES();
  test::InstalledFixture installed("V2000/fendrel.mdb");
  Connection connection(installed.paths());
  connection.set_connection_string(
      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Norv\\None.mdb");
  try {
    connection.open();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("None.mdb"));
  }
  EXPECT_FALSE(connection.is_open());
}

TEST(CatalogNames, EveryEntryInCatalogOrder) {
  NORV_REQUIRE_FIXTURES();
  test::InstalledFixture installed("V2000/fendrel.mdb");
  auto connection = installed.connect();
  std::vector<std::string> expected;
  for (const jet::CatalogEntry& entry : connection->database().catalog())
    expected.push_back(entry.name);
  std::vector<std::string> names = table_names_of(connection);
  EXPECT_THAT(names, ElementsAreArray(expected));
  EXPECT_THAT(names, Contains("Control"));
  EXPECT_THAT(names, Contains("DovrelControl"));
  EXPECT_THAT(names, Contains("MSysObjects"));
}

TEST(CatalogNames, NamesAreKeptAsStored) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_THAT(table_names_of(test::InstalledFixture("V2000/control-lower.mdb").connect()),
              Contains("control"));
  std::vector<std::string> blank =
      table_names_of(test::InstalledFixture("V2000/control-trailing-blank.mdb").connect());
  EXPECT_THAT(blank, Contains("Control "));
  EXPECT_THAT(blank, Not(Contains("Control")));
}

TEST(CatalogNames, LinkedTablesAndSavedQueriesAreListed) {
  NORV_REQUIRE_FIXTURES();
  EXPECT_THAT(table_names_of(test::InstalledFixture("V2003/linked.mdb").connect()),
              Contains("Control"));
  EXPECT_THAT(table_names_of(test::InstalledFixture("V1997/queryTestV1997.mdb").connect()),
              Contains("SelectQuery"));
}

TEST(CatalogNames, ACatalogWithoutConnectionIsAnError) {
  Catalog catalog;
  EXPECT_THROW(catalog.table_names(), InvalidArgumentError);
}

}  // namespace
}  // namespace norv::data
