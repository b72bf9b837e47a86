#include "app/cli/progress.h"

#include "app/cli/progress_line.h"
#include "platform/console_output.h"

namespace norv::app::cli {

namespace {
constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRefresh = std::chrono::milliseconds(100);
}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream)
    : stream_(stream),
      enabled_(is_terminal(stream)),
      clears_with_escape_(enabled_ && clears_line_with_escape(stream)) {}

TerminalProgress::~TerminalProgress() {
  if (shown_width_ != 0) show("");  // a progress line is never empty
}

void TerminalProgress::show(const std::string& line) {
  platform::write_program_text(stream_, replacing_line(shown_width_, line, clears_with_escape_));
  shown_width_ = line_width(line);
}

void TerminalProgress::file_tested(const std::string& path, bool present) {
  ++tested_;
  if (present) ++present_;
  // Reading the clock is cheap next to a file-system lookup, but there is
  // no need to do it for every file.
  if (!enabled_ || tested_ % 32 != 0) return;
  auto now = std::chrono::steady_clock::now();
  if (now - start_ < kQuietStart || now - last_ < kRefresh) return;
  last_ = now;
  show(std::to_string(tested_) + " files tested, " + std::to_string(present_) +
       " present: " + path);
  std::fflush(stream_);
}

}  // namespace norv::app::cli
