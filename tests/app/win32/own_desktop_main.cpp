// The main of the tests that make windows. Under Wine without an X display
// (as in CI) the desktop that Wine made at the prefix's start has no
// graphics driver, and no window can be created on it. The tests then run on
// a desktop of their own, made with Wine's display-less driver; programs
// they start are put on it too (test_desktop_name()). On Windows, and under
// Wine with a display, they use the ordinary desktop.

#include <windows.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/app/win32/own_desktop.h"

namespace norv::test {
namespace {

constexpr const char* kDesktop = "norv-window-tests";
const char* chosen_desktop = nullptr;

bool under_wine_without_display() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
  const char* display = std::getenv("DISPLAY");
  return wine && (!display || !*display);
}

// Wine's driver for desktops without a display, for the desktops made from
// now on.
bool choose_display_less_driver() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  static const char kNull[] = "null";
  const bool set = RegSetValueExA(key, "Graphics", 0, REG_SZ, reinterpret_cast<const BYTE*>(kNull),
                                  sizeof kNull) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

void move_to_own_desktop() {
  if (!under_wine_without_display() || !choose_display_less_driver()) return;
  HDESK desktop = CreateDesktopA(kDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (desktop && SetThreadDesktop(desktop)) chosen_desktop = kDesktop;
}

}  // namespace

const char* test_desktop_name() { return chosen_desktop; }

}  // namespace norv::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!GTEST_FLAG_GET(list_tests)) norv::test::move_to_own_desktop();
  return RUN_ALL_TESTS();
}
