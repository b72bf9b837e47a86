#include <io.h>
#include <windows.h>

#include "platform/console_output.h"
#include "platform/system_text_windows.h"

namespace norv::platform {

namespace {

// The console behind `stream`, or null when it is redirected.
HANDLE console_of(std::FILE* stream) {
  auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || ::GetConsoleMode(handle, &mode) == 0) return nullptr;
  return handle;
}

}  // namespace

void write_program_text(std::FILE* stream, std::string_view utf8) {
  HANDLE console = console_of(stream);
  if (console == nullptr) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    return;
  }
  // What the C runtime still holds of the stream goes first.
  std::fflush(stream);
  const std::wstring wide = utf8_to_wide(utf8);
  for (std::size_t at = 0; at < wide.size();) {
    DWORD written = 0;
    const auto count = static_cast<DWORD>(wide.size() - at);
    if (::WriteConsoleW(console, wide.data() + at, count, &written, nullptr) == 0 || written == 0)
      return;  // a console that takes nothing leaves nowhere to say so
    at += written;
  }
}

}  // namespace norv::platform
