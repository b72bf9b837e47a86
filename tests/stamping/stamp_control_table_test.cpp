#include "stamping/stamp_control_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "stamping/table_exists.h"
#include "tests/stamping/fake_access_layer.h"
#include "tests/stamping/stamping_doubles.h"
#include "tests/support/temp_dir.h"

namespace norv::stamping {
namespace {

using test::FakeAccessLayer;
using test::FakeDatabase;
using ::testing::ElementsAre;

class StampControlTableTest : public ::testing::Test {
 protected:
  StampControlTableTest() : paths(dir.path()) { layer().clear(); }

  static FakeAccessLayer& layer() { return FakeAccessLayer::instance(); }

  std::string native(const std::string& windows_path) {
    return paths.native(windows_path).string();
  }

  void add(const std::string& windows_path, FakeDatabase database) {
    layer().add(paths.native(windows_path), std::move(database));
  }

  bool stamp(const std::string& path, const std::string& table = kControlTable,
             std::string_view prefix = kFendrelConnectionPrefix) {
    return StampControlTable(context, path, table, prefix);
  }

  test::TempDir dir;
  test::FolderPathMapper paths;
  test::FixedWindow window;
  StampingContext context{window, paths};
};

TEST_F(StampControlTableTest, AbsentFileIsPassedOverWithoutOpeningAnything) {
  EXPECT_FALSE(stamp("C:\\Data\\Fendrel.mdb"));
  EXPECT_TRUE(layer().log.empty());
  EXPECT_EQ(window.version_reads, 0);
}

TEST_F(StampControlTableTest, DirectoryAndDotFileAreNotOrdinaryFiles) {
  std::filesystem::create_directories(paths.native("C:\\Data\\Folder.mdb"));
  add("C:\\Data\\.Hidden.mdb", FakeDatabase::of({{"Control", {"0.9"}}}));
  EXPECT_FALSE(stamp("C:\\Data\\Folder.mdb"));
  EXPECT_FALSE(stamp("C:\\Data\\.Hidden.mdb"));
  EXPECT_TRUE(layer().log.empty());
}

TEST_F(StampControlTableTest, StampsEveryRowWithTheExactStatementAndClosesTheFile) {
  add("C:\\Data\\Fendrel.mdb", FakeDatabase::of({{"Control", {"0.7", "0.8", "0.9"}}}));
  window.version = "2.5";
  EXPECT_TRUE(stamp("C:\\Data\\Fendrel.mdb"));
  EXPECT_THAT(
      layer().log,
      ElementsAre("open Provider=MicroSoft.jet.OLEDB.4.0; Data Source= C:\\Data\\Fendrel.mdb",
                  "execute UPDATE Control SET Version = 2.5",
                  "close " + native("C:\\Data\\Fendrel.mdb")));
  EXPECT_THAT(layer().at(paths.native("C:\\Data\\Fendrel.mdb")).tables["Control"],
              ElementsAre("2.5", "2.5", "2.5"));
  EXPECT_EQ(window.version_reads, 1);
}

TEST_F(StampControlTableTest, UsesTheGivenPrefixAndTableAsTheyStand) {
  add("C:\\B\\Company.mdb", FakeDatabase::of({{"DovrelControl", {"0.9"}}}));
  EXPECT_TRUE(stamp("C:\\B\\Company.mdb", kDovrelControlTable, kBrenvikConnectionPrefix));
  EXPECT_THAT(layer().log,
              ElementsAre("open Provider=Microsoft.jet.OLEDB.4.0; Data Source=C:\\B\\Company.mdb",
                          "execute UPDATE DovrelControl SET Version = 1.0",
                          "close " + native("C:\\B\\Company.mdb")));
}

TEST_F(StampControlTableTest, FindsTheTableWhateverItsLetterCase) {
  for (const char* name : {"control", "CONTROL", "cOnTrOl"}) {
    layer().clear();
    add("C:\\D\\x.mdb", FakeDatabase::of({{name, {"0.9"}}}));
    EXPECT_TRUE(stamp("C:\\D\\x.mdb"));
    EXPECT_THAT(layer().at(paths.native("C:\\D\\x.mdb")).tables[name], ElementsAre("1.0")) << name;
  }
}

TEST_F(StampControlTableTest, SimilarNamesAreNotTheTableButTheFileCountsAsPresent) {
  for (const char* name : {"ControlOld", "Control ", " Control", "Contro"}) {
    layer().clear();
    add("C:\\D\\x.mdb", FakeDatabase::of({{name, {"0.9"}}}));
    EXPECT_TRUE(stamp("C:\\D\\x.mdb")) << name;
    EXPECT_THAT(layer().log,
                ElementsAre("open Provider=MicroSoft.jet.OLEDB.4.0; Data Source= C:\\D\\x.mdb",
                            "close " + native("C:\\D\\x.mdb")))
        << name;
    EXPECT_EQ(window.version_reads, 0);
  }
}

TEST_F(StampControlTableTest, ATableWithoutRowsIsStampedWithoutError) {
  add("C:\\D\\x.mdb", FakeDatabase::of({{"Control", {}}}));
  EXPECT_TRUE(stamp("C:\\D\\x.mdb"));
  EXPECT_TRUE(layer().at(paths.native("C:\\D\\x.mdb")).tables["Control"].empty());
  EXPECT_EQ(layer().log.size(), 3u);
}

TEST_F(StampControlTableTest, ErrorsPassUnchangedAfterTheDatabaseIsClosed) {
  add("C:\\D\\locked.mdb", FakeDatabase::of({{"Control", {"0.9"}}}).failing_to_open());
  EXPECT_THROW(stamp("C:\\D\\locked.mdb"), IoError);

  layer().clear();
  add("C:\\D\\refuses.mdb", FakeDatabase::of({{"Control", {"0.9"}}}).failing_on_execute());
  EXPECT_THROW(stamp("C:\\D\\refuses.mdb"), InvalidArgumentError);
  ASSERT_FALSE(layer().log.empty());
  EXPECT_EQ(layer().log.back(), "close " + native("C:\\D\\refuses.mdb"));
}

TEST_F(StampControlTableTest, DryRunLooksTheTableUpButExecutesNothing) {
  struct Recorder : StampObserver {
    std::vector<std::string> seen;
    void file_tested(const std::string& path, bool present) override {
      seen.push_back(path + (present ? " present" : " absent"));
    }
    void table_looked_up(const std::string& path, const std::string& table, bool found,
                         data::Connection&) override {
      seen.push_back(path + " " + table + (found ? " found" : " missing"));
    }
  } recorder;
  add("C:\\D\\x.mdb", FakeDatabase::of({{"Control", {"0.9"}}}));
  StampingContext dry{window, paths, &recorder, true};
  EXPECT_TRUE(StampControlTable(dry, "C:\\D\\x.mdb", kControlTable, kFendrelConnectionPrefix));
  EXPECT_FALSE(StampControlTable(dry, "C:\\D\\y.mdb", kControlTable, kFendrelConnectionPrefix));
  EXPECT_THAT(recorder.seen, ElementsAre("C:\\D\\x.mdb present", "C:\\D\\x.mdb Control found",
                                         "C:\\D\\y.mdb absent"));
  EXPECT_THAT(layer().at(paths.native("C:\\D\\x.mdb")).tables["Control"], ElementsAre("0.9"));
}

TEST_F(StampControlTableTest, KeepingVariantReturnsTheOpenConnectionOnlyForAPresentFile) {
  add("C:\\B\\Company.mdb", FakeDatabase::of({{"Control", {"0.9"}}}));
  EXPECT_EQ(StampControlTableKeepingConnection(context, "C:\\B\\None.mdb", kControlTable,
                                               kBrenvikConnectionPrefix),
            nullptr);
  auto connection = StampControlTableKeepingConnection(context, "C:\\B\\Company.mdb", kControlTable,
                                                       kBrenvikConnectionPrefix);
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(layer().log.size(), 2u) << "still open";
  connection.reset();
  EXPECT_EQ(layer().log.back(), "close " + native("C:\\B\\Company.mdb"));
}

TEST(UpperCaseName, FoldsAsciiAndLatin1LettersOnly) {
  EXPECT_EQ(upper_case_name("DovrelControl_1"), "DOVRELCONTROL_1");
  EXPECT_EQ(upper_case_name("contr\xC3\xB4le \xC3\xBF\xC3\xB7"),
            "CONTR\xC3\x94LE \xC5\xB8\xC3\xB7");
  EXPECT_EQ(upper_case_name("\xE2\x82\xAC"), "\xE2\x82\xAC");
}

}  // namespace
}  // namespace norv::stamping
