#pragma once

// Reads a table definition (TDEF) chain into a TableDef: the header counts,
// the columns sorted by number with their names, the real and logical
// indexes with their key columns, and the long-value column maps. Every
// page of the chain must be a TDEF page, the chain may not loop, and every
// count, length and offset is checked against the definition's bytes before
// it is used.

#include <cstdint>
#include <vector>

#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/text_codec.h"

namespace norv::jet {

inline constexpr std::uint8_t table_def_page_type = 0x02;

// The logical definition buffer: the whole first page, then bytes 8.. of
// each continuation page. `chain` receives the page numbers in order.
std::vector<std::uint8_t> read_table_def_bytes(PageFile& pages, std::uint32_t first_page,
                                               std::vector<std::uint32_t>& chain);

// Throws FormatFault for anything that is not a consistent definition,
// including a column type outside the Jet 3 / Jet 4 range.
TableDef read_table_def(PageFile& pages, const Format& format, const TextCodec& names,
                        std::uint32_t first_page);

// Parses an already assembled definition buffer (tests, fuzzing).
TableDef parse_table_def(const Format& format, const TextCodec& names,
                         std::span<const std::uint8_t> definition);

}  // namespace norv::jet
