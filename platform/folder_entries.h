#pragma once

// Finding a file by name without regard to case, as Windows would, on file
// systems that tell case apart. A stamping run looks up the lock file of
// every database it updates, and a Brenvik folder holds thousands of them:
// listing the folder each time would cost more than the updates. So a
// folder's listing is kept and reused for as long as the folder's
// modification time shows that no entry was added, removed or renamed.
//
// Modification times come from a coarse clock, so an entry added in the
// same tick as an earlier change leaves the time as it was. A listing is
// therefore reused only when the folder had not changed for some seconds
// before it was taken; a folder that is changing is listed every time.

#include <filesystem>
#include <string_view>

namespace norv::platform {

// The entry of `folder` whose name equals `name` without regard to ASCII
// case (the first one listed when several do); empty when there is none or
// the folder cannot be listed. Safe to call from several threads.
std::filesystem::path find_entry_ignoring_case(const std::filesystem::path& folder,
                                               std::string_view name);

}  // namespace norv::platform
