#pragma once

// The program's command-line arguments as UTF-8, in the argc/argv form an
// option parser takes. Windows hands `main` its arguments in the ANSI code
// page, which cannot hold every letter of a path and which the program would
// misread as UTF-8: there they are taken from the wide command line instead.
// Elsewhere they are the bytes `main` was given.

#include <string>
#include <vector>

namespace norv::platform {

class ProgramArguments {
 public:
  ProgramArguments(int argc, char** argv);
  ProgramArguments(const ProgramArguments&) = delete;
  ProgramArguments& operator=(const ProgramArguments&) = delete;

  int argc() const { return static_cast<int>(texts_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;  // into texts_, ended by a null pointer as argv is
};

// The arguments as the system gives them, in UTF-8 (argv on POSIX).
std::vector<std::string> utf8_arguments(int argc, char** argv);

}  // namespace norv::platform
