#pragma once

// Usage-map rows as the creator writes them: inline bitmaps starting at
// page 0, at least as large as Jet makes them, larger when the file needs;
// reference maps, with bitmap pages of their own, once an inline bitmap
// would no longer fit a data page.

#include <cstdint>
#include <vector>

#include "jet/format.h"
#include "jet/page_images.h"

namespace norv::jet {

// A map marking `pages`, with room for pages up to `covered_pages`. A
// reference map's bitmap pages are allocated at the end of `images`.
std::vector<std::uint8_t> usage_map(const Format& format, const std::vector<std::uint32_t>& pages,
                                    std::uint32_t covered_pages, PageImages& images);

// The global map, made once every other page is allocated: every page from
// the end of the file on is free (bit set).
std::vector<std::uint8_t> global_usage_map(const Format& format, PageImages& images);

}  // namespace norv::jet
