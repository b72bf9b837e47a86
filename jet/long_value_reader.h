#pragma once

// The data of a Memo or OLE value: inline in the row, in one LVAL row, or
// in a chain of LVAL rows. Reading is bounded by the field's stated length,
// which may not exceed the file's size, and a chain may not revisit a row.

#include <cstdint>
#include <vector>

#include "jet/format.h"
#include "jet/long_value_field.h"
#include "jet/page_file.h"

namespace norv::jet {

// The value's stored bytes (Memo: still encoded text). Throws FormatFault
// for a pointer to anything but a row of a long-value page, a chain that
// loops or ends before the stated length, and a single row shorter than it.
std::vector<std::uint8_t> read_long_value(PageFile& pages, const Format& format,
                                          const LongValueField& field);

}  // namespace norv::jet
