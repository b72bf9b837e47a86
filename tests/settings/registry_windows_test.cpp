// GetRegistryString on Windows' own registry: values written with
// RegSetValueExA into both views of HKEY_LOCAL_MACHINE under a test key,
// read back as the suite's 32-bit programs read them (the 32-bit view),
// whether this build is a 32- or a 64-bit program. The test keys are
// removed afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/registry.h"

namespace norv::settings {
namespace {

using namespace std::literals;

constexpr REGSAM view_32 = KEY_WOW64_32KEY;
constexpr REGSAM view_64 = KEY_WOW64_64KEY;

// One test key per process, so that test processes running side by side
// never see each other's values.
std::string test_key() {
  return "Software\\Norv Test " + std::to_string(GetCurrentProcessId());
}

class ScopedKey {
 public:
  ScopedKey(const std::string& path, REGSAM view) {
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE | view, nullptr, &key_, nullptr);
    EXPECT_EQ(status, ERROR_SUCCESS) << "cannot create HKLM\\" << path;
  }
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  void set(const std::string& name, DWORD type, std::string_view data) {
    ASSERT_EQ(RegSetValueExA(key_, name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS)
        << name;
  }
  void set_dword(const std::string& name, DWORD number) {
    set(name, REG_DWORD, std::string_view(reinterpret_cast<const char*>(&number), sizeof number));
  }

 private:
  HKEY key_ = nullptr;
};

// The text of a REG_SZ value of one view, read directly.
std::string raw_string(const std::string& path, const char* name, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
    return "<no key>";
  char data[256] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? data : "<no value>";
}

bool key_exists(const std::string& path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

class WindowsRegistry : public ::testing::Test {
 protected:
  // The test keys have values only, no subkeys, so deleting the key itself
  // removes all.
  void TearDown() override {
    for (REGSAM view : {view_32, view_64}) {
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), view, 0);
      EXPECT_FALSE(key_exists(key, view)) << "test key left behind";
    }
  }

  std::string read(const std::string& value_name, const std::string& default_value = "<default>",
                   const std::string& sub_key = "") const {
    return GetRegistryString(*registry, HKEY_LOCAL_MACHINE_ROOT, sub_key.empty() ? key : sub_key,
                             value_name, default_value);
  }

  const std::string key = test_key();
  std::unique_ptr<Registry> registry = make_system_registry();
};

TEST_F(WindowsRegistry, ReadsThe32BitViewWhateverTheBuild) {
  {
    ScopedKey wow(key, view_32);
    ScopedKey native(key, view_64);
    wow.set("InstallDir", REG_SZ, "C:\\Test32\0"sv);
    native.set("InstallDir", REG_SZ, "C:\\Test\0"sv);
    native.set("OnlyIn64", REG_SZ, "x\0"sv);
  }
  EXPECT_EQ(read("InstallDir"), "C:\\Test32");
  EXPECT_EQ(read("installdir"), "C:\\Test32") << "value names are case-insensitive";
  EXPECT_EQ(read("OnlyIn64"), "<default>");
  // The prefix is a 64-bit one, as 64-bit Windows: the views are two keys.
  EXPECT_EQ(raw_string(key, "InstallDir", view_64), "C:\\Test");
}

TEST_F(WindowsRegistry, OnlyPlainStringsCount) {
  {
    ScopedKey values(key, view_32);
    values.set("Expand", REG_EXPAND_SZ, "%SystemRoot%\\x\0"sv);
    values.set("Multi", REG_MULTI_SZ, "one\0two\0\0"sv);
    values.set_dword("Number", 0x12345678);
    values.set("Binary", REG_BINARY, "C:\\Bin"sv);
    values.set("Plain", REG_SZ, "C:\\Norv\0"sv);
  }
  EXPECT_EQ(read("Expand"), "<default>");
  EXPECT_EQ(read("Multi"), "<default>");
  EXPECT_EQ(read("Number"), "<default>");
  EXPECT_EQ(read("Binary"), "<default>");
  EXPECT_EQ(read("Plain"), "C:\\Norv");
  EXPECT_EQ(read("Missing"), "<default>");
  EXPECT_EQ(read("Missing", ""), "");
  EXPECT_EQ(read("InstallDir", "<default>", key + "\\No Such Key"), "<default>");
}

TEST_F(WindowsRegistry, TheFirstNulEndsTheText) {
  {
    ScopedKey values(key, view_32);
    values.set("Inner", REG_SZ, "abc\0def\0"sv);
    values.set("Unterminated", REG_SZ, "abc"sv);
    values.set("Empty", REG_SZ, "\0"sv);
    values.set("ZeroBytes", REG_SZ, ""sv);
    values.set("", REG_SZ, "the default\0"sv);
  }
  EXPECT_EQ(read("Inner"), "abc");
  EXPECT_EQ(read("Unterminated"), "abc");
  EXPECT_EQ(read("Empty"), "") << "an empty string is a value, not a miss";
  EXPECT_EQ(read("ZeroBytes"), "");
  EXPECT_EQ(read(""), "the default");
}

TEST_F(WindowsRegistry, TextComesBackAsUtf8ThroughTheAnsiCodePage) {
  ASSERT_EQ(GetACP(), 1252u) << "the value's bytes are Windows-1252";
  {
    ScopedKey values(key, view_32);
    values.set("Accent", REG_SZ, "C:\\Caf\xE9\0"sv);
  }
  EXPECT_EQ(read("Accent"), "C:\\Caf\xC3\xA9");
}

}  // namespace
}  // namespace norv::settings
