#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "stamping/brenvik_databases.h"
#include "stamping/company_number.h"
#include "stamping/dovrel_databases.h"
#include "stamping/fendrel_databases.h"
#include "tests/stamping/fake_access_layer.h"
#include "tests/stamping/stamping_doubles.h"
#include "tests/support/temp_dir.h"

namespace norv::stamping {
namespace {

using test::FakeAccessLayer;
using test::FakeDatabase;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ModuleUpdatersTest : public ::testing::Test {
 protected:
  ModuleUpdatersTest() : paths(dir.path()) { layer().clear(); }

  static FakeAccessLayer& layer() { return FakeAccessLayer::instance(); }

  void add(const std::string& windows_path,
           FakeDatabase database = FakeDatabase::of({{"Control", {"0.9"}}})) {
    layer().add(paths.native(windows_path), std::move(database));
  }
  std::vector<std::string>& rows(const std::string& windows_path,
                                 const std::string& table = "Control") {
    return layer().at(paths.native(windows_path)).tables.at(table);
  }
  // The statements and opens only, without the close entries.
  std::vector<std::string> opened() {
    std::vector<std::string> out;
    for (const auto& entry : layer().log)
      if (entry.rfind("open ", 0) == 0) out.push_back(entry.substr(entry.find("Source=") + 7));
    return out;
  }

  static std::string fmt_name(int n) {
    return "C:\\B\\" + company_database_name(static_cast<std::int16_t>(n));
  }

  test::TempDir dir;
  test::FolderPathMapper paths;
  test::FixedWindow window;
  test::TestedPaths tested;
  StampingContext context{window, paths, &tested};
};

TEST_F(ModuleUpdatersTest, FendrelTestsFiveFilesInOrderAndListsThePresentOnes) {
  add("D:\\Data\\Fendrel.mdb");
  add("D:\\Data\\2024\\I2024.mdb");
  add("D:\\Data\\2024\\S2024.mdb", FakeDatabase::of({{"Other", {"0.9"}}}));
  window.msg = "left over";
  UpdateFendrelDatabases(context, "D:\\Data");
  // Each present file is mapped a second time when its connection opens.
  EXPECT_THAT(paths.asked, ElementsAre("D:\\Data\\Fendrel.mdb", "D:\\Data\\Fendrel.mdb",
                                       "D:\\Data\\2024\\I2024.mdb", "D:\\Data\\2024\\I2024.mdb",
                                       "D:\\Data\\2024\\P2024.mdb", "D:\\Data\\2024\\S2024.mdb",
                                       "D:\\Data\\2024\\S2024.mdb", "D:\\Data\\2024\\T2024.mdb"));
  EXPECT_EQ(window.year_reads, 4 * 2 + 2);
  EXPECT_EQ(window.msg, " - Fendrel\r\n - I2024\r\n - S2024\r\n");
  EXPECT_THAT(rows("D:\\Data\\Fendrel.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(rows("D:\\Data\\2024\\I2024.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(rows("D:\\Data\\2024\\S2024.mdb", "Other"), ElementsAre("0.9"));
}

TEST_F(ModuleUpdatersTest, FendrelLineReplacesTheTextOnlyWhenTheSharedFileIsThere) {
  add("D:\\Data\\2024\\T2024.mdb");
  window.msg = "earlier\r\n";
  UpdateFendrelDatabases(context, "D:\\Data");
  EXPECT_EQ(window.msg, "earlier\r\n - T2024\r\n");

  layer().clear();
  window.msg.clear();
  UpdateFendrelDatabases(context, "D:\\Data");
  EXPECT_THAT(window.msg, IsEmpty());
  EXPECT_THAT(layer().log, IsEmpty());
}

TEST_F(ModuleUpdatersTest, DirectoriesAreUsedAsTheyStand) {
  UpdateFendrelDatabases(context, "D:\\Data\\");
  UpdateFendrelDatabases(context, "");
  UpdateDovrelDatabases(context, "");
  UpdateBrenvikDatabases(context, "C:\\B\\");
  EXPECT_THAT(paths.asked,
              ElementsAre("D:\\Data\\\\Fendrel.mdb", "D:\\Data\\\\2024\\I2024.mdb",
                          "D:\\Data\\\\2024\\P2024.mdb", "D:\\Data\\\\2024\\S2024.mdb",
                          "D:\\Data\\\\2024\\T2024.mdb", "\\Fendrel.mdb", "\\2024\\I2024.mdb",
                          "\\2024\\P2024.mdb", "\\2024\\S2024.mdb", "\\2024\\T2024.mdb",
                          "\\Fendrel.mdb", "\\Dovrel\\Dovrel.mdb", "C:\\B\\\\Company.mdb"));
}

TEST_F(ModuleUpdatersTest, FendrelErrorStopsTheModuleAndKeepsWhatWasStamped) {
  add("D:\\Data\\Fendrel.mdb");
  add("D:\\Data\\2024\\I2024.mdb");
  add("D:\\Data\\2024\\P2024.mdb", FakeDatabase::of({{"Control", {"0.9"}}}).failing_to_open());
  add("D:\\Data\\2024\\S2024.mdb");
  EXPECT_THROW(UpdateFendrelDatabases(context, "D:\\Data"), IoError);
  EXPECT_THAT(rows("D:\\Data\\Fendrel.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(rows("D:\\Data\\2024\\I2024.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(rows("D:\\Data\\2024\\S2024.mdb"), ElementsAre("0.9"));
  EXPECT_EQ(paths.asked.back(), "D:\\Data\\2024\\P2024.mdb");
  EXPECT_EQ(window.msg, " - Fendrel\r\n - I2024\r\n");
}

TEST_F(ModuleUpdatersTest, DovrelStampsBothTablesAndReportsOnlyItsOwnDatabase) {
  add("D:\\Data\\Fendrel.mdb",
      FakeDatabase::of({{"Control", {"0.9"}}, {"DovrelControl", {"0.8"}}}));
  add("D:\\Data\\Dovrel\\Dovrel.mdb");
  window.msg = " - Fendrel\r\n";
  UpdateDovrelDatabases(context, "D:\\Data");
  EXPECT_EQ(window.msg, " - Fendrel\r\n - Dovrel\r\n");
  EXPECT_THAT(rows("D:\\Data\\Fendrel.mdb", "DovrelControl"), ElementsAre("1.0"));
  EXPECT_THAT(rows("D:\\Data\\Fendrel.mdb"), ElementsAre("0.9"));
  EXPECT_THAT(rows("D:\\Data\\Dovrel\\Dovrel.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(opened(), ElementsAre(" D:\\Data\\Fendrel.mdb", " D:\\Data\\Dovrel\\Dovrel.mdb"));
}

TEST_F(ModuleUpdatersTest, DovrelWritesNoLineForFendrelAloneButOneForATablelessDovrel) {
  add("D:\\Data\\Fendrel.mdb", FakeDatabase::of({{"DovrelControl", {"0.8"}}}));
  UpdateDovrelDatabases(context, "D:\\Data");
  EXPECT_THAT(window.msg, IsEmpty());
  EXPECT_THAT(rows("D:\\Data\\Fendrel.mdb", "DovrelControl"), ElementsAre("1.0"));

  add("D:\\Data\\Dovrel\\Dovrel.mdb", FakeDatabase::of({{"Settings", {"x"}}}));
  UpdateDovrelDatabases(context, "D:\\Data");
  EXPECT_EQ(window.msg, " - Dovrel\r\n");
  EXPECT_THAT(rows("D:\\Data\\Dovrel\\Dovrel.mdb", "Settings"), ElementsAre("x"));
}

TEST_F(ModuleUpdatersTest, BrenvikQueriesTheKeptConnectionThenStampsEachNumberInOrder) {
  add("C:\\B\\Company.mdb",
      FakeDatabase::of({{"Control", {"0.9"}}}).with_highest_company(jet::Value{std::int32_t{12}}));
  for (int n = 0; n <= 12; ++n)
    if (n != 3 && n != 7) add(fmt_name(n));
  window.msg = " - Dovrel\r\n";
  UpdateBrenvikDatabases(context, "C:\\B");
  ASSERT_GE(layer().log.size(), 4u);
  std::string company = paths.native("C:\\B\\Company.mdb").string();
  EXPECT_THAT(std::vector(layer().log.begin(), layer().log.begin() + 4),
              ElementsAre("open Provider=Microsoft.jet.OLEDB.4.0; Data Source=C:\\B\\Company.mdb",
                          "execute UPDATE Control SET Version = 1.0",
                          "query SELECT MAX(CompanyNo) FROM Company", "close " + company));
  ASSERT_EQ(tested.paths.size(), 1u + 13u);
  for (int n = 0; n <= 12; ++n) EXPECT_EQ(tested.paths[1 + n], fmt_name(n));
  EXPECT_EQ(opened().size(), 12u);
  for (int n = 0; n <= 12; ++n)
    if (n != 3 && n != 7) {
      EXPECT_THAT(rows(fmt_name(n)), ElementsAre("1.0")) << n;
    }
  EXPECT_EQ(window.msg, " - Dovrel\r\n - Brenvik");
}

TEST_F(ModuleUpdatersTest, BrenvikWithoutCompanyDatabaseTouchesNothing) {
  add("C:\\B\\BV0000.mdb");
  UpdateBrenvikDatabases(context, "C:\\B");
  EXPECT_THAT(paths.asked, ElementsAre("C:\\B\\Company.mdb"));
  EXPECT_THAT(window.msg, IsEmpty());
  EXPECT_THAT(rows("C:\\B\\BV0000.mdb"), ElementsAre("0.9"));
}

TEST_F(ModuleUpdatersTest, BrenvikHighestNumberDecidesWhichFilesAreTried) {
  struct Case {
    jet::Value highest;
    bool no_row;
    std::vector<std::string> tried;
  };
  const std::vector<Case> cases = {
      {jet::Null{}, false, {}},  // an empty Company table
      {jet::Value{std::int32_t{0}}, true, {"C:\\B\\BV0000.mdb"}},
      {jet::Value{std::int32_t{0}}, false, {"C:\\B\\BV0000.mdb"}},
      {jet::Value{std::int32_t{-1}}, false, {}},
      {jet::Value{true}, false, {}},
      {jet::Value{2.5}, false, {"C:\\B\\BV0000.mdb", "C:\\B\\BV0001.mdb", "C:\\B\\BV0002.mdb"}},
      {jet::Value{std::string("1")}, false, {"C:\\B\\BV0000.mdb", "C:\\B\\BV0001.mdb"}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    layer().clear();
    tested.paths.clear();
    window.msg.clear();
    add("C:\\B\\Company.mdb", FakeDatabase::of({}).with_highest_company(c.highest, c.no_row));
    UpdateBrenvikDatabases(context, "C:\\B");
    std::vector<std::string> tried(tested.paths.begin() + 1, tested.paths.end());
    EXPECT_EQ(tried, c.tried) << "case " << i;
    EXPECT_EQ(window.msg, " - Brenvik");
  }
}

TEST_F(ModuleUpdatersTest, BrenvikLoopEndsAfterTheLargestNumberWithFiveDigitNames) {
  add("C:\\B\\Company.mdb", FakeDatabase::of({{"Control", {"0.9"}}})
                                .with_highest_company(jet::Value{std::int16_t{32767}}));
  add("C:\\B\\BV10000.mdb");
  UpdateBrenvikDatabases(context, "C:\\B");
  ASSERT_EQ(tested.paths.size(), 1u + 32768u);
  EXPECT_EQ(tested.paths[1 + 9999], "C:\\B\\BV9999.mdb");
  EXPECT_EQ(tested.paths[1 + 10000], "C:\\B\\BV10000.mdb");
  EXPECT_EQ(tested.paths.back(), "C:\\B\\BV32767.mdb");
  EXPECT_THAT(rows("C:\\B\\BV10000.mdb"), ElementsAre("1.0"));
  EXPECT_EQ(window.msg, " - Brenvik");
}

TEST_F(ModuleUpdatersTest, BrenvikErrorsComeAfterCompanyIsStampedAndAddNoLine) {
  add("C:\\B\\Company.mdb", FakeDatabase::of({{"Control", {"0.9"}}})
                                .with_highest_company(jet::Value{std::int32_t{40000}}));
  add("C:\\B\\BV0000.mdb");
  EXPECT_THROW(UpdateBrenvikDatabases(context, "C:\\B"), OverflowError);
  EXPECT_THAT(rows("C:\\B\\Company.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(rows("C:\\B\\BV0000.mdb"), ElementsAre("0.9"));
  EXPECT_THAT(window.msg, IsEmpty());
  EXPECT_EQ(layer().log.back(), "close " + paths.native("C:\\B\\Company.mdb").string());

  layer().clear();
  add("C:\\B\\Company.mdb",
      FakeDatabase::of({{"Control", {"0.9"}}}));  // no Company table: the query fails
  EXPECT_THROW(UpdateBrenvikDatabases(context, "C:\\B"), InvalidArgumentError);
  EXPECT_THAT(rows("C:\\B\\Company.mdb"), ElementsAre("1.0"));

  layer().clear();
  add("C:\\B\\Company.mdb",
      FakeDatabase::of({{"Control", {"0.9"}}}).with_highest_company(jet::Value{std::int32_t{2}}));
  add("C:\\B\\BV0000.mdb");
  add("C:\\B\\BV0001.mdb", FakeDatabase::of({{"Control", {"0.9"}}}).failing_to_open());
  add("C:\\B\\BV0002.mdb");
  EXPECT_THROW(UpdateBrenvikDatabases(context, "C:\\B"), IoError);
  EXPECT_THAT(rows("C:\\B\\BV0000.mdb"), ElementsAre("1.0"));
  EXPECT_THAT(rows("C:\\B\\BV0002.mdb"), ElementsAre("0.9"));
  EXPECT_THAT(window.msg, IsEmpty());
}

}  // namespace
}  // namespace norv::stamping
