#pragma once

// Structural faults found while parsing bytes.
//
// The parsers see pages and byte ranges, not files, so they throw a
// FormatFault saying what is wrong ("page 7 is not a data page"). The engine's
// public entry points (Database, through with_file_context in engine_errors.h)
// turn it into the CorruptDatabaseError every caller sees: "<file> is not a
// valid Jet database: <what>".

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace norv::jet {

class FormatFault : public CorruptDatabaseError {
 public:
  using CorruptDatabaseError::CorruptDatabaseError;
};

[[noreturn]] void throw_format_fault(std::string what);

// "<file> is not a valid Jet database: <what>".
CorruptDatabaseError corrupt_database(const std::filesystem::path& file, std::string_view what);

// A broken invariant of the engine's own work (a page it built does not read
// back as planned). Raise it where the engine checks itself; the boundary
// adds the file and what to do.
[[noreturn]] void throw_internal_error(std::string_view what);

}  // namespace norv::jet
