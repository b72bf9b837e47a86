#include "tests/support/host_command.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/path_text.h"
#include "platform/system_text_windows.h"
#include "tests/support/temp_dir.h"
#include "tests/support/windows_command_line.h"

namespace norv::test {

namespace {

// Wine's own export, absent on Windows itself: the Linux name of a Windows
// path, on the process heap (null when the path has none).
using UnixFileName = char*(__cdecl*)(const wchar_t*);

UnixFileName unix_file_name_function() {
  static const auto function = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  return function;
}

// Wine starts a Linux program apart from the Windows process: its standard
// streams do not reach the handles given to it, and waiting on it returns at
// once. A shell therefore writes the program's output and exit status to
// files in `folder` ($0), the status last and whole (renamed into place),
// so that its arrival marks the end.
std::vector<std::string> through_shell(const std::string& folder,
                                       const std::vector<std::string>& argv) {
  std::vector<std::string> shell{
      "/bin/sh", "-c",
      R"("$@" >"$0/out" 2>"$0/err"; echo $? >"$0/status.part"; mv "$0/status.part" "$0/status")",
      folder};
  shell.insert(shell.end(), argv.begin(), argv.end());
  return shell;
}

bool start_detached(const std::vector<std::string>& argv) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = windows_command_line(argv);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

}  // namespace

std::string host_path(const std::filesystem::path& path) {
  const UnixFileName unix_file_name = unix_file_name_function();
  if (!unix_file_name) return platform::utf8_of(path);
  char* name = unix_file_name(std::filesystem::absolute(path).c_str());
  if (!name) return platform::utf8_of(path);
  std::string unix_name = name;
  HeapFree(GetProcessHeap(), 0, name);
  return unix_name;
}

CommandResult run_host_command(const std::vector<std::string>& argv) {
  CommandResult result;
  result.exit_status = 127;  // as a shell reports a program it cannot start
  if (!unix_file_name_function()) return result;
  const TempDir files;
  if (!start_detached(through_shell(host_path(files.path()), argv))) return result;
  while (!std::filesystem::exists(files / "status"))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  result.exit_status = std::stoi(read_file(files / "status"));
  result.out = read_file(files / "out");
  result.err = read_file(files / "err");
  return result;
}

}  // namespace norv::test
