#pragma once

// Usage-map rows as the creator writes them: inline bitmaps starting at
// page 0, at least as large as Jet makes them, larger when the file needs.

#include <cstdint>
#include <vector>

#include "jet/format.h"

namespace norv::jet {

// An inline map (type 0) marking `pages`, with room for pages up to
// `covered_pages`. Throws NotSupportedError when the bitmap would not fit a
// data page.
std::vector<std::uint8_t> inline_usage_map(const Format& format,
                                           const std::vector<std::uint32_t>& pages,
                                           std::uint32_t covered_pages);

// The global map: every page from `page_count` on is free (bit set).
std::vector<std::uint8_t> global_usage_map(const Format& format, std::uint32_t page_count);

}  // namespace norv::jet
