#pragma once

// The highest company number of a Brenvik installation and the names of the
// per-company databases it implies.

#include <cstdint>
#include <optional>
#include <string>

#include "jet/types/value.h"

namespace norv::stamping {

// The query's value converted as CInt converts it: numbers rounded half to
// even, text read as a plain number, True as -1. Nothing for Null (an empty
// Company table). Throws OverflowError outside -32768..32767 and
// InvalidArgumentError for a value that is no number; both name `path`.
std::optional<std::int16_t> company_number_from(const jet::Value& value, const std::string& path);

// "BV" + the number with at least four digits + ".mdb": BV0007.mdb, BV10000.mdb.
std::string company_database_name(std::int16_t number);

}  // namespace norv::stamping
