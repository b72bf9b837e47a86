#include "platform/error.h"

#include <cerrno>
#include <system_error>

namespace norv {

std::string system_error_text(int error_code) {
  std::string text = std::generic_category().message(error_code);
  // The one failure where the user's next step is always the same.
  bool disk_full = error_code == ENOSPC;
#ifdef EDQUOT
  disk_full = disk_full || error_code == EDQUOT;
#endif
  if (disk_full)
    text += " (free some space on that drive, or copy the file to another, and run again)";
  return text;
}

}  // namespace norv
