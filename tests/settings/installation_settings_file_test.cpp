// The settings file of the shared installation tree, as the suite writes it.

#include <gtest/gtest.h>

#include "settings/private_ini.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::settings {
namespace {

class NativePaths final : public platform::PathMapper {
 public:
  std::filesystem::path to_native(std::string_view path) const override { return std::string(path); }
};

TEST(InstallationSettingsFile, TheSuitesFileReadsAndTakesANewKeyInPlace) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  std::filesystem::path copy = test::copy_fixture("install-tree/NORV.INI", dir.path());
  std::string original = test::read_file(copy);
  NativePaths paths;
  auto profile = make_private_profile(paths);
  CPrivateIni ini(*profile);
  ini.FilePath(copy.string());

  EXPECT_EQ(ini.GetStringSetting("Fendrel", "ServersMDBPath", ""), "@INSTALLDIR@\\Data");
  EXPECT_EQ(ini.GetStringSetting("Brenvik", "DatabaseDir", ""), "@INSTALLDIR@\\Brenvik");

  EXPECT_TRUE(ini.SetIntSetting("Fendrel", "LastYear", 2024));
#ifdef _WIN32
  // Windows' own functions here; under Wine they rewrite the whole file in
  // their layout, so only what it reads can be compared.
  EXPECT_EQ(ini.GetIntSetting("Fendrel", "LastYear", 0), 2024);
  EXPECT_TRUE(ini.DeleteSetting("Fendrel", "LastYear"));
  EXPECT_EQ(ini.GetIntSetting("Fendrel", "LastYear", 0), 0);
#else
  std::string expected = original;
  std::string_view after_key = "@INSTALLDIR@\\Data\r\n";
  expected.insert(expected.find(after_key) + after_key.size(), "LastYear=2024\r\n");
  EXPECT_EQ(test::read_file(copy), expected);
  EXPECT_TRUE(ini.DeleteSetting("Fendrel", "LastYear"));
  EXPECT_EQ(test::read_file(copy), original);
#endif
}

}  // namespace
}  // namespace norv::settings
