#include <io.h>

#include "app/cli/progress.h"

namespace norv::app::cli {

bool is_terminal(std::FILE* stream) { return ::_isatty(::_fileno(stream)) != 0; }

}  // namespace norv::app::cli
