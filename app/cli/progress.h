#pragma once

// A progress line on a terminal for runs that take longer than a moment
// (many company databases): shown only when the stream is a terminal and
// only after the first half second; wiped when the run ends.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

#include "stamping/stamping_context.h"

namespace norv::app::cli {

// True when `stream` is an interactive terminal.
bool is_terminal(std::FILE* stream);
// True when that terminal clears to the end of the line on "\033[K"; a
// Windows console does only with virtual-terminal processing on.
bool clears_line_with_escape(std::FILE* stream);

class TerminalProgress : public stamping::StampObserver {
 public:
  explicit TerminalProgress(std::FILE* stream);
  ~TerminalProgress() override;
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void file_tested(const std::string& path, bool present) override;
  void table_looked_up(const std::string&, const std::string&, bool, data::Connection&) override {}

 private:
  void show(const std::string& line);

  std::FILE* stream_;
  bool enabled_;
  bool clears_with_escape_;
  std::size_t shown_width_ = 0;  // characters of the line shown, 0 when none is
  unsigned long tested_ = 0;
  unsigned long present_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_ = start_;
};

}  // namespace norv::app::cli
