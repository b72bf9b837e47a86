#include <windows.h>

#include <io.h>

#include "app/cli/progress.h"

namespace norv::app::cli {

bool is_terminal(std::FILE* stream) { return ::_isatty(::_fileno(stream)) != 0; }

bool clears_line_with_escape(std::FILE* stream) {
  const auto console = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  DWORD mode = 0;
  return ::GetConsoleMode(console, &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace norv::app::cli
