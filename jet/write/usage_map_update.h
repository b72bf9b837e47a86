#pragma once

// An update's changes to usage maps: a page taken or given back, planned
// as edits of the map rows (and bitmap pages) of an UpdatePlan.

#include <cstdint>

#include "jet/format/table_def.h"
#include "jet/format/usage_map.h"
#include "jet/write/update_plan.h"

namespace norv::jet {

// Marks `page` as used in the map at `where`, as edits to an update plan
// from `stage` on: sets its bit in a `used` map, clears it in the `free`
// global map (a page outside the global map's range needs nothing: Jet
// leaves pages past its window unknown to the map). A `used` map grows as
// Jet grows it, keeping its row length: an inline map whose window does
// not reach the page is re-based when the span of its pages still fits,
// converted to a reference map otherwise; a reference map gets a bitmap
// page for a slot that has none. New bitmap pages are appended (written
// with the new pages, before anything refers to them) and marked used in
// the global map at the global_map stage. The map is decoded, and so
// checked, before any edit. Throws NotSupportedError (the caller names the
// file) when the row has too few slots to reach the page.
void mark_page_used(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                    WriteStage stage);

// The opposite: clears `page`'s bit in a `used` map (a page the map does not
// hold needs nothing), sets it in the `free` global map. Only the global
// map grows for it: an inline global map whose window does not reach the
// page becomes a reference map of the same length, its bitmap pages
// appended (a page past its last slot stays unknown to it).
void mark_page_unused(UpdatePlan& plan, RowPointer where, std::uint32_t page, MapSense sense,
                      WriteStage stage);

// Marking several pages, at one stage or at several, composes: each change
// is applied to the map as every stage has it, including the changes
// planned before it.

}  // namespace norv::jet
