#include "platform/error.h"

#include <cerrno>
#include <system_error>

namespace norv {

std::string excerpt(std::string_view text) {
  constexpr std::size_t shown = 64;
  if (text.size() <= shown + 16) return std::string(text);
  // Cut before a UTF-8 continuation byte, never inside a character.
  std::size_t cut = shown;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut)) + "... (" + std::to_string(text.size()) +
         " characters)";
}

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
