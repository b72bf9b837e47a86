// norv-version-update.exe end to end: the real program on a demo
// installation made by the command line, found through the registry as the
// suite's own programs find it. The test clicks its controls from outside,
// finds the real message box by the program's process and window, reads it,
// presses OK, closes the program and reads the databases back.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/types/value.h"
#include "tests/app/win32/message_box_probe.h"
#include "tests/app/win32/own_desktop.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kInstallationKey = "Software\\Norv Software";

// InstallDir in the 32-bit view of HKEY_LOCAL_MACHINE for the test's
// lifetime; the key is removed again afterwards.
class InstallationInRegistry {
 public:
  explicit InstallationInRegistry(const std::string& directory) {
    HKEY key = nullptr;
    ok_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallationKey, 0, nullptr, 0,
                          KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) == ERROR_SUCCESS;
    if (!ok_) return;
    ok_ = RegSetValueExA(key, "InstallDir", 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(directory.c_str()),
                         static_cast<DWORD>(directory.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~InstallationInRegistry() { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kInstallationKey, KEY_WOW64_32KEY, 0); }
  InstallationInRegistry(const InstallationInRegistry&) = delete;
  InstallationInRegistry& operator=(const InstallationInRegistry&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// The running dialog program.
class DialogProcess {
 public:
  DialogProcess() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string desktop = test_desktop_name() ? test_desktop_name() : "";
    if (!desktop.empty()) startup.lpDesktop = desktop.data();
    std::string command_line = std::string("\"") + NORV_DIALOG + "\"";
    started_ = CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process_) != FALSE;
  }
  ~DialogProcess() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  DialogProcess(const DialogProcess&) = delete;
  DialogProcess& operator=(const DialogProcess&) = delete;

  bool started() const { return started_; }
  DWORD id() const { return process_.dwProcessId; }

  // The program's window once it is shown; null after `timeout_ms`.
  HWND wait_for_window(int timeout_ms = 60000) const {
    WaitForInputIdle(process_.hProcess, static_cast<DWORD>(timeout_ms));
    for (int waited = 0; waited < timeout_ms; waited += 20) {
      HWND window = nullptr;
      while ((window = FindWindowExA(nullptr, window, nullptr, "Version Update")) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process_.dwProcessId && IsWindowVisible(window)) return window;
      }
      Sleep(20);
    }
    return nullptr;
  }

  // The exit code, or -1 when the program has not ended within `timeout_ms`.
  long wait_for_exit(int timeout_ms = 30000) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

std::vector<std::string> versions_in(const std::filesystem::path& db,
                                     const std::string& table = "Control") {
  const jet::Database database = jet::Database::open(db);
  const jet::TableInfo info = database.table(table);
  std::size_t column = 0;
  while (column < info.columns.size() && info.columns[column].name != "Version") ++column;
  std::vector<std::string> versions;
  database.for_each_row(info, [&](const std::vector<jet::Value>& row) {
    versions.push_back(column < row.size() ? jet::to_display_text(row[column]) : "?");
  });
  return versions;
}

HWND child_button(HWND window, const char* caption) {
  return FindWindowExA(window, nullptr, "Button", caption);
}

TEST(DialogProgram, StampsTheDemoInstallationAndShowsTheSummaryInARealMessageBox) {
  TempDir dir;
  const std::filesystem::path prefix = dir / "demo";
  const CommandResult made = run_command({NORV_CLI, "--create-demo", prefix.string()});
  ASSERT_EQ(made.exit_status, 0) << made.err;
  const std::filesystem::path install = prefix / "drive_c" / "Norv";
  // The demo's settings name C:\Norv; here the installation lies elsewhere.
  const std::string ini = (install / "NORV.INI").string();
  ASSERT_TRUE(WritePrivateProfileStringA("Fendrel", "ServersMDBPath",
                                         (install / "Data").string().c_str(), ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Brenvik", "DatabaseDir",
                                         (install / "Brenvik").string().c_str(), ini.c_str()));
  ASSERT_THAT(versions_in(install / "Brenvik" / "BV0012.mdb"), ElementsAre("0.9"));
  InstallationInRegistry registry(install.string());
  ASSERT_TRUE(registry.ok()) << "cannot write InstallDir into the registry";

  DialogProcess program;
  ASSERT_TRUE(program.started()) << NORV_DIALOG;
  HWND window = program.wait_for_window();
  ASSERT_NE(window, nullptr) << "the dialog never showed its window";
  HWND update = child_button(window, "Update Version");
  ASSERT_NE(update, nullptr);
  EXPECT_FALSE(IsWindowEnabled(update));
  SendMessageA(child_button(window, "Dovrel"), BM_CLICK, 0, 0);
  SendMessageA(child_button(window, "Brenvik"), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowEnabled(update));
  HWND version = FindWindowExA(window, nullptr, "Edit", nullptr);
  ASSERT_NE(version, nullptr);
  SendMessageA(version, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3.1"));
  // Posted: the click returns only when the box it opens is closed.
  PostMessageA(update, BM_CLICK, 0, 0);

  const auto box = wait_for_message_box(program.id(), window);
  ASSERT_TRUE(box.has_value()) << "no message box of the dialog appeared";
  EXPECT_EQ(box->title, "Version Update");
  EXPECT_EQ(box->text, "The version has been updated to 3.1 for\r\n - Dovrel\r\n - Brenvik");
  EXPECT_EQ(box->icon, nullptr);
  EXPECT_FALSE(IsWindowEnabled(window)) << "the box is modal over the window";
  press_ok(*box);

  for (int waited = 0; !IsWindowEnabled(window) && waited < 10000; waited += 20) Sleep(20);
  EXPECT_TRUE(IsWindowEnabled(window));
  PostMessageA(child_button(window, "Close"), BM_CLICK, 0, 0);
  EXPECT_EQ(program.wait_for_exit(), 0) << "the program did not end with its window";

  EXPECT_THAT(versions_in(install / "Data" / "Fendrel.mdb", "DovrelControl"), ElementsAre("3.1"));
  EXPECT_THAT(versions_in(install / "Data" / "Dovrel" / "Dovrel.mdb"), ElementsAre("3.1"));
  EXPECT_THAT(versions_in(install / "Brenvik" / "Company.mdb"), ElementsAre("3.1"));
  EXPECT_THAT(versions_in(install / "Brenvik" / "BV0012.mdb"), ElementsAre("3.1"));
  EXPECT_THAT(versions_in(install / "Data" / "Fendrel.mdb"), ElementsAre("0.9"))
      << "Fendrel was not ticked";
}

}  // namespace
}  // namespace norv::test
