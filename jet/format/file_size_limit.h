#pragma once

// The format's largest file size (Format::max_file_size) as a refusal:
// the update planner and the creator both refuse a file that would pass
// it, before anything is written, since Access opens no such file.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "jet/format/format.h"

namespace norv::jet {

// Throws NotSupportedError naming `file` when `pages` pages of `format`
// would be larger than the format allows. `what` says what would be too
// large ("the update would make the file"), `advice` what to do instead.
void refuse_pages_past_the_limit(const std::filesystem::path& file, const Format& format,
                                 std::uint64_t pages, std::string_view what,
                                 std::string_view advice);

}  // namespace norv::jet
