#pragma once

// Rewriting the one progress line in place. A terminal that understands
// "\033[K" clears the rest of the line with it; a Windows console without
// virtual-terminal processing would show those bytes as they are, so there
// the characters the old line leaves over are overwritten with spaces.

#include <cstddef>
#include <string>

namespace norv::app::cli {

// The places `text` (UTF-8) takes on the line, one per character.
std::size_t line_width(const std::string& text);

// What turns the shown line, `shown_width` places long, into `next`. An
// empty `next` wipes the line and leaves the cursor at its start.
std::string replacing_line(std::size_t shown_width, const std::string& next,
                           bool clears_with_escape);

}  // namespace norv::app::cli
