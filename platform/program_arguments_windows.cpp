#include <windows.h>
#include <shellapi.h>

#include "platform/error.h"
#include "platform/program_arguments.h"
#include "platform/system_text_windows.h"

namespace norv::platform {

std::vector<std::string> utf8_arguments(int, char**) {
  int count = 0;
  // Splits as the C runtime splits argv (quotes, backslashes before them).
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr)
    throw Error("The command line cannot be read (error " + std::to_string(::GetLastError()) +
                "); run the program again.");
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(wide_to_utf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

}  // namespace norv::platform
