#include <windows.h>

#include <stdexcept>
#include <thread>

#include "tests/support/mdbtools.h"
#include "tests/support/windows_command_line.h"

namespace norv::test {

namespace {

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
};

Pipe inheritable_pipe() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Pipe pipe;
  if (!CreatePipe(&pipe.read, &pipe.write, &inherit, 0))
    throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(pipe.read, HANDLE_FLAG_INHERIT, 0);
  return pipe;
}

void drain(HANDLE from, std::string& into) {
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(from, buffer, sizeof buffer, &n, nullptr) && n > 0) into.append(buffer, n);
  CloseHandle(from);
}

// A child's C runtime writes its standard streams in text mode, each "\n" as
// "\r\n". Undoing that gives back exactly what the program printed, so that
// tests compare the same text on every platform.
std::string from_text_mode(const std::string& written) {
  std::string printed;
  printed.reserve(written.size());
  for (std::size_t i = 0; i < written.size(); ++i)
    if (written[i] != '\r' || i + 1 == written.size() || written[i + 1] != '\n')
      printed += written[i];
  return printed;
}

}  // namespace

CommandResult run_command(const std::vector<std::string>& argv) {
  Pipe out = inheritable_pipe();
  Pipe err = inheritable_pipe();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.write;
  startup.hStdError = err.write;
  PROCESS_INFORMATION process{};
  std::wstring line = windows_command_line(argv);
  BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                &startup, &process);
  CloseHandle(out.write);
  CloseHandle(err.write);
  CommandResult result;
  if (!started) {
    CloseHandle(out.read);
    CloseHandle(err.read);
    result.exit_status = 127;  // as a shell reports a program it cannot start
    return result;
  }
  // Both pipes are read at once, so that a chatty child never blocks.
  std::thread error_reader(drain, err.read, std::ref(result.err));
  drain(out.read, result.out);
  error_reader.join();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  result.exit_status = static_cast<int>(status);
  result.out = from_text_mode(result.out);
  result.err = from_text_mode(result.err);
  return result;
}

}  // namespace norv::test
