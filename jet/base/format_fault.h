#pragma once

// The faults the engine's inside raises. It sees pages, rows and byte
// ranges, not files, so none of these names the file: the engine's public
// entry points (Database, through with_file_context in engine_errors.h) add
// it, once.
//
// A structural fault found while parsing bytes is a FormatFault saying what
// is wrong ("page 7 is not a data page"); callers see it as the
// CorruptDatabaseError "<file> is not a valid Jet database: <what>".

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace norv::jet {

class FormatFault : public CorruptDatabaseError {
 public:
  using CorruptDatabaseError::CorruptDatabaseError;
};

[[noreturn]] void throw_format_fault(std::string what);

// Where a row came from, for error messages only. Cheap to build: nothing is
// formatted unless a fault is raised. The table's name must outlive it.
struct RowOrigin {
  std::string_view table;
  std::uint32_t page = 0;
  std::uint16_t row = 0;

  // Throws the FormatFault "table <table>, page <page> row <row>: <what>".
  [[noreturn]] void corrupt(std::string_view what) const;
};

// A broken invariant of the engine's own work (a page it built does not read
// back as planned). Raise it where the engine checks itself; the boundary
// adds the file and what to do.
[[noreturn]] void throw_internal_error(std::string_view what);

// A broken invariant of the engine's own work (a page it built does not read
// back as planned). Raise it where the engine checks itself; the boundary
// adds the file and what to do.
[[noreturn]] void throw_internal_error(std::string_view what);

}  // namespace norv::jet
