// norv-version-update-cli end to end: the real program on a Wine-style
// prefix holding a copy of the shared installation tree, its databases read
// back with mdbtools (or with the engine where mdbtools cannot run).

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/create/creator.h"
#include "platform/utf8.h"
#include "tests/app/install_prefix.h"
#include "tests/support/fixtures.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

CommandResult cli(std::vector<std::string> args) {
  args.insert(args.begin(), NORV_CLI);
  return run_command(args);
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NORV_REQUIRE_FIXTURES();
    tree = make_install_prefix(dir / "prefix");
  }
  CommandResult run(std::vector<std::string> args) {
    args.insert(args.begin(), tree.where.begin(), tree.where.end());
    return cli(args);
  }
  // A file of the installation as the programs name it.
  std::string windows_path(const std::string& relative) const {
    return tree.windows_dir + "\\" + relative;
  }

  TempDir dir;
  InstallPrefix tree;
};

TEST(CliUsage, RefusesMeaninglessCommandLinesWithStatusTwo) {
  EXPECT_EQ(cli({"--set-version", "1.0"}).exit_status, 2) << "no module ticked";
  EXPECT_EQ(cli({"--dovrel"}).exit_status, 2) << "no version text";
  EXPECT_EQ(cli({"--fendrel", "--year", "24", "--set-version", "1.0"}).exit_status, 2);
  EXPECT_EQ(cli({"--fendrel", "--year", "20x4", "--set-version", "1.0"}).exit_status, 2);
  EXPECT_EQ(cli({"--no-such-option"}).exit_status, 2);
  EXPECT_EQ(cli({"--registry-file", "a", "--install-dir", "b", "--show"}).exit_status, 2);
  EXPECT_EQ(cli({"--dovrel", "--set-version", "1.0", "--json"}).exit_status, 2)
      << "--json only shapes what --show prints";
  CommandResult help = cli({"--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_THAT(help.out, HasSubstr("--set-version"));
  EXPECT_EQ(cli({"--version"}).exit_status, 0);
}

// On Windows too, where a slash could also start an option. A path the
// user names that is not there is an error naming it, not a missing
// installation.
TEST(CliUsage, AnArgumentStartingWithASlashIsAPath) {
  CommandResult r =
      cli({"--registry-file", "/no/such/norv.reg", "--dovrel", "--set-version", "1.0"});
  EXPECT_EQ(r.exit_status, 1) << r.err;
  EXPECT_THAT(r.err, HasSubstr("/no/such/norv.reg: no such file (given to --registry-file)"));
#ifndef _WIN32  // where there are no Wine prefixes
  r = cli({"--wine-prefix", "/no/such/prefix", "--show"});
  EXPECT_EQ(r.exit_status, 1) << r.err;
  EXPECT_THAT(r.err, HasSubstr("/no/such/prefix: no such folder (given to --wine-prefix)"));
#endif
}

#ifdef _WIN32
// A Windows program reads no Wine prefix: --help does not offer the option,
// and a run given it says why it is refused.
TEST(CliUsage, WindowsOffersNoWinePrefix) {
  EXPECT_THAT(cli({"--help"}).out, Not(HasSubstr("--wine-prefix")));
  CommandResult r = cli({"--wine-prefix", "C:\\x", "--show"});
  EXPECT_EQ(r.exit_status, 1) << r.err;
  EXPECT_THAT(r.err, HasSubstr("--wine-prefix is not available on Windows."));
}
#endif

// Mistakes on the command line in the tool's words, quoting no more than
// the start of an argument; and options a run would ignore are refused.
TEST(CliUsage, SaysWhatIsWrongInItsOwnWords) {
  CommandResult twice = cli({"--fendrel", "--year", "2024", "--year", "2025", "--set-version", "1"});
  EXPECT_EQ(twice.exit_status, 2);
  EXPECT_THAT(twice.err, HasSubstr("--year is given 2 times; give it once."));
  EXPECT_THAT(twice.err, Not(HasSubstr("At Most")));

  const std::string runaway = "--" + std::string(100000, 'x');
  CommandResult unknown = cli({"--dovrel", "--set-version", "1", runaway});
  EXPECT_EQ(unknown.exit_status, 2);
  EXPECT_LT(unknown.err.size(), 300u);

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--show", "--fendrel"}, {"--show", "--set-version", "1.0"},
        {"--show", "--year", "2024"}, {"--show-settings", "--dovrel"},
        {"--create-demo", "x", "--brenvik"}}) {
    CommandResult r = cli(args);
    EXPECT_EQ(r.exit_status, 2) << args[0] << " " << args[1];
    EXPECT_THAT(r.err, HasSubstr("excludes")) << args[0] << " " << args[1];
  }
}

TEST_F(CliTest, UpdatesEveryModuleAndPrintsTheDialogsSummary) {
  CommandResult r =
      run({"--fendrel", "--dovrel", "--brenvik", "--year", "2024", "--set-version", "2.5"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.out,
            "The version has been updated to 2.5 for\n - Fendrel\n - I2024\n - P2024\n - S2024\n"
            " - Dovrel\n - Brenvik\n");
  EXPECT_THAT(r.err, IsEmpty());
  EXPECT_THAT(versions_of(tree / "Data/Fendrel.mdb"), ElementsAre("2.5"));
  EXPECT_THAT(versions_of(tree / "Data/Fendrel.mdb", "DovrelControl"), ElementsAre("2.5"));
  for (const char* file : {"Data/2024/I2024.mdb", "Data/2024/S2024.mdb", "Data/Dovrel/Dovrel.mdb",
                           "Brenvik/Company.mdb", "Brenvik/BV0000.mdb", "Brenvik/BV0012.mdb"})
    EXPECT_THAT(versions_of(tree / file), ElementsAre("2.5")) << file;
}

TEST_F(CliTest, RefusedInputAndMissingTablesHaveTheirOwnStatus) {
  CommandResult bad = run({"--dovrel", "--set-version", "1,0"});
  EXPECT_EQ(bad.exit_status, 5);
  EXPECT_EQ(bad.out, "Invalid version number, please check.\n");
  CommandResult year = run({"--fendrel", "--dovrel", "--set-version", "1.0"});
  EXPECT_EQ(year.exit_status, 5);
  EXPECT_EQ(year.out, "Select Year to update version for Fendrel \n");

  std::filesystem::remove_all(tree / "Data");
  CommandResult none = run({"--dovrel", "--set-version", "1.0"});
  EXPECT_EQ(none.exit_status, 4);
  EXPECT_EQ(none.out, "Could not find Control table.\n");
  EXPECT_THAT(versions_of(tree / "Brenvik/Company.mdb"), ElementsAre("0.9"));
}

// A version text beyond the largest Double is refused as a version text, and
// the year is the Fendrel module's alone.
TEST_F(CliTest, VersionTextsAndYearsAreCheckedWhereTheyMatter) {
  CommandResult huge = run({"--dovrel", "--set-version", std::string(100000, '9')});
  EXPECT_EQ(huge.exit_status, 5) << huge.err.substr(0, 200);
  EXPECT_EQ(huge.out, "Invalid version number, please check.\n");
  EXPECT_LT(huge.err.size(), 300u);
  EXPECT_THAT(versions_of(tree / "Data/Dovrel/Dovrel.mdb"), ElementsAre("0.9"));

  CommandResult year = run({"--dovrel", "--year", "20x4", "--set-version", "2.5"});
  EXPECT_EQ(year.exit_status, 0) << year.err;
  EXPECT_THAT(versions_of(tree / "Data/Dovrel/Dovrel.mdb"), ElementsAre("2.5"));
}

TEST_F(CliTest, MissingInstallationIsStatusThree) {
  write_file(dir / "empty.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n");
  CommandResult r =
      cli({"--registry-file", (dir / "empty.reg").string(), "--dovrel", "--set-version", "1.0"});
  EXPECT_EQ(r.exit_status, 3) << r.err;
  EXPECT_EQ(r.out, "Norv not installed in this Machine.\n");
}

TEST_F(CliTest, AnErrorIsReportedOnStandardErrorWithStatusOne) {
  write_file(tree / "Data/Dovrel/Dovrel.mdb", "this is no database");
  CommandResult r =
      run({"--fendrel", "--dovrel", "--brenvik", "--year", "2024", "--set-version", "3"});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_THAT(r.out, IsEmpty());
  EXPECT_THAT(r.err, HasSubstr("Dovrel.mdb"));
  EXPECT_THAT(versions_of(tree / "Data/Fendrel.mdb"), ElementsAre("3"));
  EXPECT_THAT(versions_of(tree / "Brenvik/Company.mdb"), ElementsAre("0.9"));
}

TEST_F(CliTest, DryRunListsEveryTestedPathAndChangesNothing) {
  const std::string before = read_file(tree / "Brenvik/Company.mdb");
  CommandResult r = run({"--fendrel", "--brenvik", "--year", "2024", "--dry-run"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(read_file(tree / "Brenvik/Company.mdb"), before);
  const std::string& out = r.out;
  auto at = [&](const std::string& text) { return out.find(text); };
  EXPECT_LT(at(windows_path("Data\\Fendrel.mdb")), at(windows_path("Data\\2024\\T2024.mdb")));
  EXPECT_LT(at(windows_path("Data\\2024\\T2024.mdb")), at(windows_path("Brenvik\\Company.mdb")));
  EXPECT_LT(at(windows_path("Brenvik\\BV0003.mdb")), at(windows_path("Brenvik\\BV0012.mdb")));
  EXPECT_EQ(at("BV0013.mdb"), std::string::npos);
  EXPECT_THAT(out, HasSubstr("present; table Control found; Version: 0.9"));
#ifdef _WIN32  // a path is its own native path there
  EXPECT_THAT(out, HasSubstr(windows_path("Data\\2024\\T2024.mdb") + "\n    absent\n"));
#else
  EXPECT_THAT(out, HasSubstr("C:\\Norv\\Data\\2024\\T2024.mdb  (" + tree.prefix.string()));
  EXPECT_THAT(out, HasSubstr("/Norv/Data/2024/T2024.mdb)\n    absent\n"));
#endif
  EXPECT_THAT(out, HasSubstr("Dry run: nothing was changed. A run would report:\n"
                             "The version has been updated to 1.0 for\n - Fendrel\n"));
  EXPECT_THAT(versions_of(tree / "Brenvik/BV0000.mdb"), ElementsAre("0.9"));
}

TEST_F(CliTest, DryRunSaysThatADamagedFileCannotBeOpened) {
  write_file(tree / "Data/Dovrel/Dovrel.mdb", "this is no database");
  CommandResult r = run({"--dovrel", "--dry-run"});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_THAT(r.out, HasSubstr("Dovrel.mdb"));
  EXPECT_THAT(r.out, HasSubstr("\n    present; cannot be opened\n"));
  EXPECT_THAT(r.out, Not(HasSubstr("table  not found")));
  EXPECT_THAT(r.err, HasSubstr("Dovrel.mdb is not a valid Jet database"));
}

// The dry run checks each statement as the run would execute it: a yearly
// database whose unique index on Version cannot take one value in two rows
// stops the dry run where it would stop the run, with Jet's message naming
// it, and nothing is written anywhere.
TEST_F(CliTest, DryRunStopsWhereTheRunWould) {
  const auto yearly = tree / "Data/2024/P2024.mdb";
  jet::TableSpec control{"Control", {{.name = "Version", .type = jet::ColumnType::text}}, {}, {}};
  control.rows = {{std::string("0.8")}, {std::string("0.9")}};
  control.indexes.push_back({.name = "VersionIdx", .columns = {"Version"}, .unique = true});
  jet::DatabaseSpec spec;
  spec.tables = {control};
  jet::create_database(yearly, spec, jet::CreateOptions{true});
  const std::string fendrel = read_file(tree / "Data/Fendrel.mdb");
  const std::string before = read_file(yearly);

  CommandResult r = run({"--fendrel", "--year", "2024", "--set-version", "1.0", "--dry-run"});
  EXPECT_EQ(r.exit_status, 1) << r.out << r.err;
  EXPECT_THAT(r.err, HasSubstr("P2024.mdb"));
  EXPECT_THAT(r.err, HasSubstr("duplicate values in the index"));
  EXPECT_THAT(r.out, Not(HasSubstr("The version has been updated")));
  EXPECT_EQ(read_file(tree / "Data/Fendrel.mdb"), fendrel);
  EXPECT_EQ(read_file(yearly), before);
}

// An encoded yearly database is shown, dry-run and stamped as a plain one.
TEST_F(CliTest, AnEncodedDatabaseIsShownCheckedAndStamped) {
  const auto yearly = tree / "Data/2024/P2024.mdb";
  jet::TableSpec control{"Control",
                         {{.name = "ID", .type = jet::ColumnType::long_integer},
                          {.name = "Version", .type = jet::ColumnType::text}},
                         {},
                         {}};
  control.rows = {{std::int32_t{1}, std::string("0.7")}};
  jet::DatabaseSpec spec;
  spec.tables = {control};
  spec.encoding_key = 0x600DF00D;
  jet::create_database(yearly, spec, jet::CreateOptions{true});

  CommandResult show = run({"--show"});
  EXPECT_EQ(show.exit_status, 0) << show.err;
  EXPECT_THAT(show.out, HasSubstr("0.7"));
  CommandResult dry = run({"--fendrel", "--year", "2024", "--set-version", "1.0", "--dry-run"});
  EXPECT_EQ(dry.exit_status, 0) << dry.err;
  EXPECT_THAT(dry.out, HasSubstr("present; table Control found; Version: 0.7"));
  CommandResult stamp = run({"--fendrel", "--year", "2024", "--set-version", "1.0"});
  EXPECT_EQ(stamp.exit_status, 0) << stamp.err;
  EXPECT_THAT(versions_of(yearly), ElementsAre("1"));  // the literal 1.0 as Jet turns it into text
}

TEST_F(CliTest, ShowListsTheVersionsOfEveryModuleDatabase) {
  CommandResult table = run({"--show"});
  EXPECT_EQ(table.exit_status, 0) << table.err;
  EXPECT_THAT(table.out, HasSubstr(windows_path("Data\\2024\\P2024.mdb")));
  EXPECT_THAT(table.out, HasSubstr("DovrelControl"));
  CommandResult json = run({"--show", "--json"});
  EXPECT_EQ(json.exit_status, 0) << json.err;
  std::string json_path;  // the path as a JSON text holds it, each backslash doubled
  for (char c : windows_path("Brenvik\\BV0012.mdb"))
    json_path += c == '\\' ? "\\\\" : std::string(1, c);
  EXPECT_THAT(json.out, HasSubstr("\"path\": \"" + json_path + "\""));
  EXPECT_THAT(json.out, HasSubstr("\"versions\": [\"0.9\"]"));
  EXPECT_EQ(json.out.find("BV0003"), std::string::npos) << "absent files are not shown";
}

TEST_F(CliTest, ShowSettingsSaysWhereEverythingWasFound) {
  CommandResult r = run({"--show-settings"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Installation directory: " + tree.windows_dir + "\n"));
  EXPECT_THAT(r.out, HasSubstr("Settings file: " + windows_path("NORV.INI") + "\n"));
  EXPECT_THAT(r.out, HasSubstr("[Fendrel] ServersMDBPath: " + windows_path("Data") + "\n"));
  EXPECT_THAT(r.out, HasSubstr("[Brenvik] DatabaseDir: " + windows_path("Brenvik") + "\n"));
#ifdef _WIN32  // a path is its own native path there, so none is repeated
  EXPECT_THAT(r.out, Not(HasSubstr("native path:")));
#else
  EXPECT_THAT(r.out, HasSubstr("native path: " + tree.prefix.string()));
  EXPECT_THAT(r.out, HasSubstr("/Norv/Brenvik\n"));
#endif
}

#ifndef _WIN32  // there every run is given --install-dir, and the registry is the machine's
TEST_F(CliTest, InstallDirSkipsTheRegistry) {
  std::filesystem::remove(tree.prefix / "system.reg");
  CommandResult r = run({"--install-dir", "C:\\Norv", "--dovrel", "--set-version", "4"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  // The Dovrel entry ends in a line break of its own.
  EXPECT_EQ(r.out, "The version has been updated to 4 for\n - Dovrel\n\n");
  CommandResult settings = run({"--install-dir", "C:\\Norv", "--show-settings"});
  EXPECT_THAT(settings.out, HasSubstr("Installation directory from --install-dir\n"));
  EXPECT_THAT(settings.out, Not(HasSubstr("HKEY_LOCAL_MACHINE")));
}

// Native paths, pipes and Wine prefixes are POSIX matters.
// A native directory given for the installation or in NORV.INI is used as
// the user means it: the files the tool appends to it are found there.
TEST_F(CliTest, NativeDirectoriesAreUsedAsGiven) {
  const std::string native = tree.install.string();
  write_file(tree / "NORV.INI", "[Fendrel]\r\nServersMDBPath=" + native + "/Data\r\n");
  CommandResult r = run({"--install-dir", native, "--dovrel", "--set-version", "4.5"});
  EXPECT_EQ(r.exit_status, 0) << r.out << r.err;
  EXPECT_THAT(versions_of(tree / "Data/Dovrel/Dovrel.mdb"), ElementsAre("4.5"));
  CommandResult settings = run({"--install-dir", native, "--show-settings"});
  EXPECT_THAT(settings.out, HasSubstr("native path: " + native + "/NORV.INI\n"));
  // Native already: its native path would only repeat it.
  EXPECT_THAT(settings.out, HasSubstr("ServersMDBPath: " + native + "/Data\n[Brenvik]"));
}

// A NORV.INI that is a folder, a pipe or too large reads as missing, as
// Windows reads it; the command line says so instead of keeping silent.
TEST_F(CliTest, ASettingsFileThatCannotBeReadIsReported) {
  const auto ini = tree / "NORV.INI";
  const auto make_folder = [&] { std::filesystem::create_directory(ini); };
  const auto make_pipe = [&] { ASSERT_EQ(::mkfifo(ini.c_str(), 0644), 0); };
  const auto make_huge = [&] {
    write_file(ini, "[Fendrel]\r\n");
    std::filesystem::resize_file(ini, (64u << 20) + 1);
  };
  const std::vector<std::pair<std::function<void()>, std::string>> cases = {
      {make_folder, "it is a folder"},
      {make_pipe, "it is not an ordinary file"},
      {make_huge, "it is larger than 64 MiB"}};
  for (const auto& [make, why] : cases) {
    std::filesystem::remove_all(ini);
    make();
    CommandResult r = run({"--dovrel", "--set-version", "1.0"});
    EXPECT_EQ(r.exit_status, 4) << why << ": " << r.err;
    EXPECT_THAT(r.err, HasSubstr("Warning: C:\\Norv\\NORV.INI ("));
    EXPECT_THAT(r.err, HasSubstr("/Norv/NORV.INI) reads as missing: " + why));
    CommandResult settings = run({"--show-settings"});
    EXPECT_THAT(settings.out, HasSubstr("reads as missing: " + why));
  }
}
#endif

// The suite installed in a folder whose name is not ASCII, its NORV.INI in
// Windows-1252: every command takes the folder, finds its files and shows
// its name as it is. On Windows the arguments, the settings file and the
// output each pass a code page of their own; the engine reads the files
// back where mdbtools cannot run.
class CliNonAsciiInstallation : public ::testing::Test {
 protected:
  void SetUp() override {
    NORV_REQUIRE_FIXTURES();
    tree = make_non_ascii_installation(dir / "root");
  }
  CommandResult run(std::vector<std::string> args) {
    args.insert(args.begin(), tree.where.begin(), tree.where.end());
    return cli(args);
  }

  TempDir dir;
  NonAsciiInstallation tree;
};

TEST_F(CliNonAsciiInstallation, AnUpdateStampsEveryModule) {
  CommandResult r =
      run({"--fendrel", "--dovrel", "--brenvik", "--year", "2024", "--set-version", "2.5"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("The version has been updated to 2.5 for\n - Fendrel\n"));
  EXPECT_THAT(r.err, IsEmpty());
  EXPECT_THAT(versions_of(tree.install / "Data/Fendrel.mdb", "DovrelControl"), ElementsAre("2.5"));
  for (const char* file : {"Data/Fendrel.mdb", "Data/2024/I2024.mdb", "Data/Dovrel/Dovrel.mdb",
                           "Brenvik/Company.mdb", "Brenvik/BV0012.mdb"})
    EXPECT_THAT(versions_of(tree.install / file), ElementsAre("2.5")) << file;
}

TEST_F(CliNonAsciiInstallation, ShowSettingsNamesEveryFolderAsItIs) {
  CommandResult r = run({"--show-settings"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Installation directory: " + tree.windows_dir + "\n"));
  EXPECT_THAT(r.out, HasSubstr("Settings file: " + tree.windows_dir + "\\NORV.INI\n"));
  EXPECT_THAT(r.out, HasSubstr("[Fendrel] ServersMDBPath: " + tree.windows_dir + "\\Data\n"));
  EXPECT_THAT(r.out, HasSubstr("[Brenvik] DatabaseDir: " + tree.windows_dir + "\\Brenvik\n"));
  EXPECT_THAT(r.out, Not(HasSubstr("error"))) << "every native path is found";
}

TEST_F(CliNonAsciiInstallation, DryRunFindsEveryFile) {
  CommandResult r = run({"--dovrel", "--dry-run"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(tree.windows_dir + "\\Data\\Dovrel\\Dovrel.mdb"));
  EXPECT_THAT(r.out, HasSubstr("present; table Control found; Version: 0.9"));
  EXPECT_THAT(r.out, HasSubstr("present; table DovrelControl found; Version: 0.9"));
}

// Each column starts at the same character on every line, though a path's
// ö and ß take two bytes each.
TEST_F(CliNonAsciiInstallation, ShowCountsItsColumnWidthsInCharacters) {
  CommandResult r = run({"--show"});
  ASSERT_EQ(r.exit_status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(tree.windows_dir + "\\Brenvik\\BV0012.mdb"));
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(r.out.substr(at, end - at));
  ASSERT_GT(lines.size(), 1u) << r.out;
  for (const char* heading : {"Path", "Table", "Version"}) {
    const std::size_t column =
        platform::character_count(std::string_view(lines[0]).substr(0, lines[0].find(heading)));
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string_view before = platform::first_characters(lines[i], column);
      ASSERT_LT(before.size(), lines[i].size()) << lines[i];
      EXPECT_EQ(before.back(), ' ') << heading << ": " << lines[i];
      EXPECT_NE(lines[i][before.size()], ' ') << heading << ": " << lines[i];
    }
  }
}

// A NORV.INI that is a folder or too large reads as missing, as Windows
// reads it; the command line says so on Windows too.
TEST_F(CliNonAsciiInstallation, ASettingsFileThatCannotBeReadIsReported) {
  const auto ini = tree.install / "NORV.INI";
  const auto make_folder = [&] { std::filesystem::create_directory(ini); };
  const auto make_huge = [&] {
    write_file(ini, "[Fendrel]\r\n");
    std::filesystem::resize_file(ini, (64u << 20) + 1);
  };
  const std::vector<std::pair<std::function<void()>, std::string>> cases = {
      {make_folder, "it is a folder"}, {make_huge, "it is larger than 64 MiB"}};
  for (const auto& [make, why] : cases) {
    std::filesystem::remove_all(ini);
    make();
    CommandResult r = run({"--dovrel", "--set-version", "1.0"});
    EXPECT_EQ(r.exit_status, 4) << why << ": " << r.err;
    // The native path follows in brackets where it differs (not on Windows).
#ifdef _WIN32
    EXPECT_THAT(r.err, HasSubstr("Warning: " + tree.windows_dir + "\\NORV.INI reads as missing"));
#else
    EXPECT_THAT(r.err, HasSubstr("Warning: " + tree.windows_dir + "\\NORV.INI ("));
#endif
    EXPECT_THAT(r.err, HasSubstr("reads as missing: " + why));
    CommandResult settings = run({"--show-settings"});
    EXPECT_THAT(settings.out, HasSubstr("reads as missing: " + why));
  }
}

// On Windows, which reads no prefix, the demo's NORV.INI names its own
// folders and the hint it prints gives the folder with --install-dir.
TEST(CliDemo, BuildsAnInstallationThatARunStampsWhole) {
  TempDir dir;
  const std::string prefix = (dir / "demo").string();
  CommandResult made = cli({"--create-demo", prefix});
  ASSERT_EQ(made.exit_status, 0) << made.err;
  EXPECT_EQ(cli({"--create-demo", prefix}).exit_status, 1) << "never over an installation";
  const std::filesystem::path install = dir / "demo/drive_c/Norv";
  EXPECT_FALSE(std::filesystem::exists(install / "Brenvik/BV0003.mdb"));
#ifdef _WIN32
  const std::string folder = (dir / "demo\\drive_c\\Norv").string();
  EXPECT_THAT(made.out, HasSubstr("Try: norv-version-update-cli --install-dir \"" + folder + "\""));
  const std::vector<std::string> where = {"--install-dir", folder};
#else
  EXPECT_THAT(made.out, HasSubstr("Try: WINEPREFIX=" + prefix + " norv-version-update-cli"));
  const std::vector<std::string> where = {"--wine-prefix", prefix};
#endif
  std::vector<std::string> args = where;
  args.insert(args.end(), {"--dovrel", "--brenvik", "--set-version", "7.1"});
  CommandResult run = cli(args);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out, "The version has been updated to 7.1 for\n - Dovrel\n - Brenvik\n");
  EXPECT_THAT(versions_of(install / "Brenvik/BV0012.mdb"), ElementsAre("7.1"));
  EXPECT_THAT(versions_of(install / "Data/Fendrel.mdb", "DovrelControl"), ElementsAre("7.1"));
}

// A real prefix holds no drive_c/Norv, yet its system.reg is the user's:
// only a new or an empty folder is built in, and an empty name is no
// folder (it would be the current one).
TEST(CliDemo, NeverWritesIntoAFolderThatHoldsAnything) {
  TempDir dir;
  std::filesystem::create_directories(dir / "prefix");
  write_file(dir / "prefix/system.reg", "WINE REGISTRY Version 2\n");
  write_file(dir / "file", "user's");
  std::filesystem::create_directories(dir / "empty");
  for (const std::string& prefix : {(dir / "prefix").string(), (dir / "file").string()}) {
    CommandResult r = cli({"--create-demo", prefix});
    EXPECT_EQ(r.exit_status, 1) << prefix;
    EXPECT_THAT(r.err, HasSubstr(prefix + " already exists and is not an empty folder"));
  }
  EXPECT_EQ(read_file(dir / "prefix/system.reg"), "WINE REGISTRY Version 2\n");
  EXPECT_EQ(read_file(dir / "file"), "user's");
  EXPECT_FALSE(std::filesystem::exists(dir / "prefix/drive_c"));
  CommandResult unnamed = cli({"--create-demo", ""});
  EXPECT_EQ(unnamed.exit_status, 1);
  EXPECT_THAT(unnamed.err, HasSubstr("--create-demo needs the name of a folder"));
  EXPECT_EQ(cli({"--create-demo", (dir / "empty").string()}).exit_status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "empty/system.reg"));
}

}  // namespace
}  // namespace norv::test
