#pragma once

// A GUID as text, "{6F9619FF-8B86-D011-B42D-00C04FC964FF}": the form the
// engine shows and the one its callers read, braces optional. The first
// three groups are numbers, stored little-endian; the last two are bytes
// in order.

#include <optional>
#include <string>
#include <string_view>

#include "jet/types/value.h"

namespace norv::jet {

std::string guid_text(const Guid& guid);

// nullopt unless `text` is exactly that form (hex digits of either case).
std::optional<Guid> parse_guid_text(std::string_view text);

}  // namespace norv::jet
