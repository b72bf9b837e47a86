#pragma once

#include <nlohmann/json.hpp>

#include "jet/types/value.h"

namespace norv::jet_cli {

// A value as JSON: Null as null, Yes/No as a boolean, numbers as numbers
// (Currency and Decimal too, unless a double cannot carry their digits, in
// which case their exact text), text as a string, dates in ISO 8601,
// binary and GUIDs as their display text.
nlohmann::ordered_json to_json(const jet::Value& value);

}  // namespace norv::jet_cli
