#pragma once

// Page 0 of a new database: the engine name, the format byte, and the
// masked block with the code page, the General sort order, no page
// encryption and no password.

#include <cstdint>
#include <vector>

#include "jet/format.h"

namespace norv::jet {

// `creation_date` is an OLE date (Jet 4 stores it, and derives the
// password mask from it).
std::vector<std::uint8_t> build_header_page(const Format& format, std::uint16_t code_page,
                                            double creation_date);

}  // namespace norv::jet
