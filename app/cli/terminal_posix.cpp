#include <unistd.h>

#include "app/cli/progress.h"

namespace norv::app::cli {

bool is_terminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

bool clears_line_with_escape(std::FILE*) { return true; }

}  // namespace norv::app::cli
