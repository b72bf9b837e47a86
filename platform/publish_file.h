#pragma once

// Putting a fully written file in its place in one step, so that readers
// see either nothing (or the old file) or the complete new one.

#include <filesystem>

namespace norv::platform {

// Moves `built` (already synced, in the same folder) to `target` and makes
// the move durable. Without `replace`, an existing `target` is left alone
// and the call throws InvalidArgumentError naming it; `built` is then
// removed. Other failures are IoError naming the files.
void publish_file(const std::filesystem::path& built, const std::filesystem::path& target,
                  bool replace);

}  // namespace norv::platform
