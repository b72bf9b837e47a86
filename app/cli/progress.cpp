#include "app/cli/progress.h"

#include "platform/console_output.h"

namespace norv::app::cli {

namespace {
constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRefresh = std::chrono::milliseconds(100);
// Back to the start of the line, and the line cleared.
const std::string kWipeLine = "\r\033[K";
}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream)
    : stream_(stream), enabled_(is_terminal(stream)) {}

TerminalProgress::~TerminalProgress() {
  if (shown_) platform::write_program_text(stream_, kWipeLine);
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
  shown_ = true;
  platform::write_program_text(stream_, kWipeLine + std::to_string(tested_) + " files tested, " +
                                            std::to_string(present_) + " present: " + path);
  std::fflush(stream_);
}

}  // namespace norv::app::cli
