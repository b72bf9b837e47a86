#pragma once

// The column properties the tool cares about, from a table's property blob
// (MSysObjects.LvProp): "Required" and "ValidationRule".
//
// Best effort: the blob is written by the application, not by Jet, and its
// layout is known from other readers only. A blob with an unknown signature
// yields no properties; one whose chunks overrun it is a FormatFault.

#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "jet/format/text_codec.h"

namespace norv::jet {

struct ColumnProperties {
  bool required = false;
  bool has_validation_rule = false;
};

// Column name -> properties, for the columns the blob mentions. Names are
// as stored; callers compare them without regard to case.
std::map<std::string, ColumnProperties> parse_column_properties(
    std::span<const std::uint8_t> blob, const TextCodec& text);

}  // namespace norv::jet
