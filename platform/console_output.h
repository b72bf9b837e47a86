#pragma once

// The program's text (UTF-8) on its standard output and error, as the user
// is to read it. A Windows console shows any character given to it as
// UTF-16, whatever its code page, and shows UTF-8 bytes as the letters of
// that code page: text for a console goes through WriteConsoleW there.
// Output redirected to a file or a pipe stays UTF-8, on Windows too: the
// console code page (an OEM one such as 850) lacks most characters and
// differs from machine to machine, so a file written in it could not be
// read back reliably, while UTF-8 holds every path and is what scripts and
// editors read. Elsewhere the bytes go out as they are.

#include <cstdio>
#include <memory>
#include <string_view>

namespace norv::platform {

// Writes `utf8` to `stream` (stdout or stderr) as described above.
void write_program_text(std::FILE* stream, std::string_view utf8);

// While one exists, std::cout and std::cerr write through
// write_program_text; the streams get their own buffers back when it ends.
class ProgramTextStreams {
 public:
  ProgramTextStreams();
  ~ProgramTextStreams();
  ProgramTextStreams(const ProgramTextStreams&) = delete;
  ProgramTextStreams& operator=(const ProgramTextStreams&) = delete;

 private:
  struct Redirection;
  std::unique_ptr<Redirection> out_, err_;
};

}  // namespace norv::platform
