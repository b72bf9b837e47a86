// Registry files as Wine 8 wrote them: system.reg of a 64-bit and of a
// 32-bit prefix after `reg add` into each view (the suite's key blocks,
// cut out of the whole files), and `reg export /reg:32` of the key.

#include <gtest/gtest.h>

#include "settings/registry.h"

namespace norv::settings {
namespace {

using namespace std::literals;

const std::filesystem::path data_dir = NORV_SETTINGS_TEST_DATA;

std::string read_value(const std::string& file, const std::string& name) {
  auto registry = make_registry_file(data_dir / file);
  auto value = registry->query(HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", name);
  if (!value) return "<missing>";
  return std::to_string(value->type) + ":" + value->data;
}

class RealRegistryFiles : public ::testing::TestWithParam<const char*> {};

// The 64-bit view of the 64-bit prefix holds C:\Norv64; the 32-bit program
// must see the other value.
TEST(RealRegistryViews, EachPrefixGivesThe32BitView) {
  EXPECT_EQ(read_value("wine64_system.reg", "InstallDir"), "1:C:\\Program Files (x86)\\Norv\0"s);
  EXPECT_EQ(read_value("wine32_system.reg", "InstallDir"), "1:C:\\Program Files\\Norv\0"s);
  EXPECT_EQ(read_value("reg_export_32bit_view.reg", "InstallDir"),
            "1:C:\\Program Files (x86)\\Norv\0"s);
}

TEST_P(RealRegistryFiles, EveryTypeReadsAsWindowsHandsItOut) {
  std::string file = GetParam();
  EXPECT_EQ(read_value(file, "Accent"), "1:Bj\xC3\xB8rn \xE2\x82\xAC \xE4\xB8\xAD \"q\" back\\slash\0"s);
  EXPECT_EQ(read_value(file, "Empty"), "1:\0"s);
  EXPECT_EQ(read_value(file, "Expand"), "2:%SystemRoot%\\x\0"s);
  EXPECT_EQ(read_value(file, "Multi"), "7:one\0two\0\0"s);
  EXPECT_EQ(read_value(file, "Count"), "4:\x2A\0\0\0"s);
  std::string blob = "3:";
  for (int i = 0; i < 0x30; ++i) blob += static_cast<char>(i);
  EXPECT_EQ(read_value(file, "Blob"), blob);
  EXPECT_EQ(read_value(file, "Missing"), "<missing>");
}

INSTANTIATE_TEST_SUITE_P(WineAndExport, RealRegistryFiles,
                         ::testing::Values("wine64_system.reg", "reg_export_32bit_view.reg"));

}  // namespace
}  // namespace norv::settings
