// GetRegistryString's contract over a registry that answers what the test
// stores in it.

#include "settings/registry.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/error.h"

namespace norv::settings {
namespace {

constexpr std::uint32_t reg_sz = 1;

class StoredRegistry final : public Registry {
 public:
  void put(std::string value_name, std::uint32_t type, std::string data) {
    values_[value_name] = RawValue{type, std::move(data)};
  }

  std::optional<RawValue> query(std::int32_t root, const std::string& sub_key,
                                const std::string& value_name) const override {
    ++queries;
    if (root != HKEY_LOCAL_MACHINE_ROOT || sub_key != "Software\\Norv Software") return std::nullopt;
    auto found = values_.find(value_name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }

  mutable int queries = 0;

 private:
  std::map<std::string, RawValue> values_;
};

std::string install_dir(const Registry& registry, const std::string& fallback = "") {
  return GetRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software",
                           "InstallDir", fallback);
}

TEST(GetRegistryString, AMissingKeyOrValueGivesTheDefault) {
  StoredRegistry registry;
  EXPECT_EQ(install_dir(registry), "");
  EXPECT_EQ(install_dir(registry, "C:\\Fallback"), "C:\\Fallback");
  EXPECT_EQ(GetRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Other", "InstallDir"), "");
  EXPECT_EQ(HKEY_LOCAL_MACHINE_ROOT, -2147483646);
}

TEST(GetRegistryString, AStringValueComesBackWithoutItsNul) {
  StoredRegistry registry;
  registry.put("InstallDir", reg_sz, std::string("C:\\Norv\0", 8));
  EXPECT_EQ(install_dir(registry, "x"), "C:\\Norv");
}

TEST(GetRegistryString, AnEmptyStringReplacesTheDefault) {
  StoredRegistry registry;
  registry.put("InstallDir", reg_sz, std::string("\0", 1));
  EXPECT_EQ(install_dir(registry, "dflt"), "");
  registry.put("InstallDir", reg_sz, "");
  EXPECT_EQ(install_dir(registry, "dflt"), "");
}

TEST(GetRegistryString, OnlyPlainStringsCount) {
  StoredRegistry registry;
  for (std::uint32_t type : {0u, 2u, 3u, 4u, 7u, 11u}) {
    registry.put("InstallDir", type, std::string("C:\\x\0", 5));
    EXPECT_EQ(install_dir(registry, "dflt"), "dflt") << "type " << type;
  }
}

TEST(GetRegistryString, TheFirstNulEndsTheTextAndNoNulKeepsItWhole) {
  StoredRegistry registry;
  registry.put("InstallDir", reg_sz, std::string("abc\0def\0", 8));
  EXPECT_EQ(install_dir(registry), "abc");
  registry.put("InstallDir", reg_sz, "no terminator  ");
  EXPECT_EQ(install_dir(registry), "no terminator  ");
}

TEST(GetRegistryString, ANulBeyondCharacter32767IsAnOverflow) {
  StoredRegistry registry;
  registry.put("InstallDir", reg_sz, std::string(32766, 'a') + '\0');
  EXPECT_EQ(install_dir(registry).size(), 32766u);
  registry.put("InstallDir", reg_sz, std::string(32767, 'a') + '\0');
  try {
    install_dir(registry);
    FAIL() << "expected an overflow";
  } catch (const OverflowError& e) {
    EXPECT_NE(std::string(e.what()).find("InstallDir"), std::string::npos) << e.what();
  }
  // Characters, not bytes: 20000 two-byte characters still fit.
  std::string wide;
  for (int i = 0; i < 20000; ++i) wide += "\xC3\xA9";
  registry.put("InstallDir", reg_sz, wide + '\0');
  EXPECT_EQ(install_dir(registry), wide);
}

TEST(GetRegistryString, AnOmittedDefaultIsTheEmptyText) {
  StoredRegistry registry;
  EXPECT_EQ(GetRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", "InstallDir"),
            GetRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", "InstallDir", ""));
  EXPECT_EQ(registry.queries, 2);
}

}  // namespace
}  // namespace norv::settings
