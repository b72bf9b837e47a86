// jet-cli as a user runs it: output, exit status, messages.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include "tests/support/fixtures.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv {
namespace {

using ::testing::HasSubstr;

test::CommandResult jet_cli(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), JET_CLI);
  return test::run_command(arguments);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(text.substr(start, end - start));
  return out;
}

TEST(JetCli, InfoDescribesTheFile) {
  NORV_REQUIRE_FIXTURES();
  const auto result = jet_cli({"info", test::fixture("V1997/testV1997.mdb").string()});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "format: Jet 3\npage size: 2048\ncode page: 1252\npages: 58\nencoded: no\n");
}

TEST(JetCli, TablesPrintsKindTabName) {
  NORV_REQUIRE_FIXTURES();
  const auto result = jet_cli({"tables", test::fixture("V2000/linked.mdb").string()});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  const auto printed = lines(result.out);
  EXPECT_EQ(printed.front(), "SYSTEM TABLE\tMSysObjects");
  EXPECT_EQ(printed.back(), "LINK\tControl");
}

TEST(JetCli, SchemaListsColumnsAndIndexes) {
  NORV_REQUIRE_FIXTURES();
  const auto result =
      jet_cli({"schema", test::fixture("V2000/control-indexed.mdb").string(), "CONTROL"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("column Version\tText(50)"));
  EXPECT_THAT(result.out, HasSubstr("primary key PrimaryKey\t(ID)"));
  EXPECT_THAT(result.out, HasSubstr("index VersionIdx\t(Version)"));
}

TEST(JetCli, RowsAsJsonKeepTypes) {
  NORV_REQUIRE_FIXTURES();
  const auto result =
      jet_cli({"rows", test::fixture("V2003/control-wide.mdb").string(), "Control", "--json"});
  ASSERT_EQ(result.exit_status, 0) << result.err;
  const auto printed = lines(result.out);
  ASSERT_EQ(printed.size(), 2u);
  const auto first = nlohmann::json::parse(printed[0]);
  EXPECT_EQ(first["ID"], 1);
  EXPECT_EQ(first["Product"], "Fendrel");
  EXPECT_EQ(first["Updated"], "2023-12-31T23:59:00");
  EXPECT_EQ(first["Released"], true);
  EXPECT_TRUE(first["Comment"].is_null());
  const auto numeric = nlohmann::json::parse(
      jet_cli({"rows", test::fixture("V2000/control-numeric.mdb").string(), "Control", "--json"})
          .out);
  EXPECT_EQ(numeric["Version"], 0.9);
}

TEST(JetCli, FailuresGoToStandardErrorWithStatusOne) {
  NORV_REQUIRE_FIXTURES();
  const auto password = test::fixture("V2000/password.mdb").string();
  auto result = jet_cli({"tables", password});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_THAT(result.err, HasSubstr(password));
  EXPECT_THAT(result.err, HasSubstr("password"));

  test::TempDir dir;
  test::write_file(dir / "notes.mdb", "not a database");
  result = jet_cli({"info", (dir / "notes.mdb").string()});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_THAT(result.err, HasSubstr("is not a valid Jet database"));

  result = jet_cli({"rows", test::fixture("V2000/control-text.mdb").string(), "Nothing"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_THAT(result.err, HasSubstr("Nothing"));
}

TEST(JetCli, CreateBuildsTheDescribedDatabase) {
  test::TempDir dir;
  const auto db = (dir / "demo.mdb").string();
  const auto description = std::string(NORV_SOURCE_DIR) + "/tools/jet_cli/demo_database.json";
  auto result = jet_cli({"create", db, "--from", description});
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "");

  result = jet_cli({"tables", db});
  EXPECT_THAT(lines(result.out),
              ::testing::IsSupersetOf({"TABLE\tControl", "TABLE\tCompany",
                                       "LINK\tRemoteControl", "VIEW\tAllCompanies"}));
  result = jet_cli({"rows", db, "Company", "--json"});
  ASSERT_EQ(result.exit_status, 0) << result.err;
  auto first = nlohmann::json::parse(lines(result.out).at(0));
  EXPECT_EQ(first["Name"], "Norv Holding");
  EXPECT_EQ(first["CompanyNo"], 0);
  if (test::mdbtools_available()) {
    EXPECT_EQ(test::mdb_export(db, "Control").at(0).at(1), "0.9");
  }

  // An existing file is refused unless --replace is given.
  result = jet_cli({"create", db, "--from", description});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_THAT(result.err, HasSubstr("already exists"));
  EXPECT_EQ(jet_cli({"create", db, "--from", description, "--replace"}).exit_status, 0);
}

// A path with letters outside ASCII reaches every command as it was given
// (on Windows the arguments and the output each pass a code page of their
// own) and comes back in its messages as it was given.
TEST(JetCli, EveryCommandTakesAPathOutsideAscii) {
  test::TempDir dir;
  const std::filesystem::path folder = dir / "Norv Größe";
  std::filesystem::create_directory(folder);
  const std::string db = (folder / "Größe.mdb").string();
  const std::string description = (folder / "Beschreibung für Größe.json").string();
  std::filesystem::copy_file(std::string(NORV_SOURCE_DIR) + "/tools/jet_cli/demo_database.json",
                             folder / "Beschreibung für Größe.json");
  ASSERT_EQ(jet_cli({"create", db, "--from", description}).exit_status, 0);

  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"info", db}, "format: Jet 4\n"},
      {{"tables", db}, "TABLE\tControl\n"},
      {{"rows", db, "Control"}, "0.9"},
      {{"exec", db, "UPDATE Control SET Version = '1.5'"}, "2\n"},  // the demo's two rows
      {{"query", db, "SELECT MAX(Version) FROM Control"}, "1.5\n"},
      {{"check", db}, db + ": "},
  };
  for (const auto& [arguments, expected] : cases) {
    const auto result = jet_cli(arguments);
    EXPECT_EQ(result.exit_status, 0) << arguments[0] << ": " << result.err;
    EXPECT_THAT(result.out, HasSubstr(expected)) << arguments[0];
  }
  const auto missing = jet_cli({"info", (folder / "Fehlt.mdb").string()});
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_THAT(missing.err, HasSubstr((folder / "Fehlt.mdb").string()));
}

// --encoded makes an encoded database that reads as the plain one, and
// info tells the two apart.
TEST(JetCli, CreateEncodedAndInfoTellsIt) {
  test::TempDir dir;
  const auto plain = (dir / "plain.mdb").string();
  const auto encoded = (dir / "encoded.mdb").string();
  const auto description = std::string(NORV_SOURCE_DIR) + "/tools/jet_cli/demo_database.json";
  ASSERT_EQ(jet_cli({"create", plain, "--from", description}).exit_status, 0);
  auto result = jet_cli({"create", encoded, "--from", description, "--encoded", "0x1A2B3C4D"});
  ASSERT_EQ(result.exit_status, 0) << result.err;

  EXPECT_THAT(jet_cli({"info", plain}).out, HasSubstr("\nencoded: no\n"));
  EXPECT_THAT(jet_cli({"info", encoded}).out, HasSubstr("\nencoded: yes (key 0x1a2b3c4d)\n"));
  EXPECT_EQ(jet_cli({"rows", encoded, "Company", "--json"}).out,
            jet_cli({"rows", plain, "Company", "--json"}).out);
  // Decimal, a leading zero not making it octal.
  ASSERT_EQ(jet_cli({"create", encoded, "--from", description, "--encoded", "010", "--replace"})
                .exit_status,
            0);
  EXPECT_THAT(jet_cli({"info", encoded}).out, HasSubstr("\nencoded: yes (key 0x0000000a)\n"));

  for (const char* bad : {"0", "zero", "0x", "0x100000000", "-5", "12ab", "0x-1"}) {
    result = jet_cli({"create", (dir / "x.mdb").string(), "--from", description, "--encoded", bad});
    EXPECT_EQ(result.exit_status, 1) << bad;
    EXPECT_THAT(result.err, HasSubstr("--encoded")) << bad;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.mdb"));
}

TEST(JetCli, CreateRefusesABadDescriptionAndWritesNothing) {
  test::TempDir dir;
  test::write_file(dir / "bad.json", R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Number"}]}]})");
  test::write_file(dir / "broken.json", "{");
  for (const char* file : {"bad.json", "broken.json", "missing.json"}) {
    auto result = jet_cli({"create", (dir / "x.mdb").string(), "--from", (dir / file).string()});
    EXPECT_EQ(result.exit_status, 1) << file;
    EXPECT_THAT(result.err, HasSubstr(file));
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.mdb"));
  EXPECT_EQ(jet_cli({"create", (dir / "x.mdb").string()}).exit_status, 2);
}

// A sound file passes with a summary; a damaged index is named with its
// file and table, and the run fails.
TEST(JetCli, CheckNamesTheDamagedIndex) {
  NORV_REQUIRE_FIXTURES();
  auto result = jet_cli({"check", test::fixture("V1997/compIndexTestV1997.mdb").string()});
  EXPECT_EQ(result.exit_status, 0) << result.out << result.err;
  EXPECT_THAT(result.out, HasSubstr(": no problem"));

  test::TempDir dir;
  const auto db = test::copy_fixture("V2000/control-indexed.mdb", dir.path());
  {
    // Page 27 is the leaf of VersionIdx; its first entry's key starts at
    // 0x1E0 with the flag byte: change the first weight.
    std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(27 * 4096 + 0x1E0 + 1);
    file.put('\x40');
  }
  result = jet_cli({"check", db.string()});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_THAT(result.out, HasSubstr(db.string() + ": table Control, index VersionIdx: "));
  EXPECT_THAT(result.err, HasSubstr(db.string()));
  EXPECT_THAT(result.err, HasSubstr("problems in the indexes"));
}

TEST(JetCli, UsageErrorsExitWithStatusTwo) {
  EXPECT_EQ(jet_cli({}).exit_status, 2);
  EXPECT_EQ(jet_cli({"info"}).exit_status, 2);
  EXPECT_EQ(jet_cli({"frobnicate", "x.mdb"}).exit_status, 2);
  EXPECT_EQ(jet_cli({"--help"}).exit_status, 0);
}

}  // namespace
}  // namespace norv
