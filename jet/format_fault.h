#pragma once

// Structural faults found while parsing bytes.
//
// The parsers see pages and byte ranges, not files, so they throw a
// FormatFault saying what is wrong ("page 7 is not a data page"). The engine's
// public entry points (Database) turn it into the CorruptDatabaseError every
// caller sees: "<file> is not a valid Jet database: <what>".

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "platform/error.h"

namespace norv::jet {

class FormatFault : public CorruptDatabaseError {
 public:
  using CorruptDatabaseError::CorruptDatabaseError;
};

[[noreturn]] void throw_format_fault(std::string what);

// "<file> is not a valid Jet database: <what>".
CorruptDatabaseError corrupt_database(const std::filesystem::path& file, std::string_view what);

// Runs body; a FormatFault leaving it becomes corrupt_database(file, ...).
template <typename Body>
decltype(auto) with_file_context(const std::filesystem::path& file, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (const FormatFault& fault) {
    throw corrupt_database(file, fault.what());
  }
}

}  // namespace norv::jet
