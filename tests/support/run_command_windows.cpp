#include <windows.h>

#include <stdexcept>
#include <thread>

#include "tests/support/mdbtools.h"

namespace norv::test {

namespace {

std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                   nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                      length);
  return wide;
}

// One argument quoted so that the C runtime's parser gives it back unchanged:
// backslashes are literal except before a quote.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
    return argument;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

std::wstring command_line(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += L' ';
    line += quoted(widen(argument));
  }
  return line;
}

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
  std::wstring line = command_line(argv);
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
