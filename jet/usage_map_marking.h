#pragma once

// Recording a newly added page in a usage map, as edits to an update plan.
// The map row keeps its length; a reference map's bitmap page is edited in
// place. Decoding the map first (usage_map.h) checks it before any edit.

#include <cstdint>

#include "jet/table_def.h"
#include "jet/update_plan.h"
#include "jet/usage_map.h"

namespace norv::jet {

// Marks `page` as used in the map at `where`: sets its bit in a `used` map
// (re-basing an inline map's window when the page lies outside it and the
// span still fits), clears it in the `free` global map (a page outside the
// global map's range needs nothing: it counts as in use... or rather as
// unknown to the map, which is how Jet leaves pages past its window).
// Throws NotSupportedError (the caller names the file) when a `used` map
// cannot record the page without being converted or given a new bitmap
// page.
void mark_page_used(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                    WriteStage stage);

}  // namespace norv::jet
