#include "jet/base/format_fault.h"

#include <fmt/format.h>

namespace norv::jet {

void throw_format_fault(std::string what) { throw FormatFault(std::move(what)); }

CorruptDatabaseError corrupt_database(const std::filesystem::path& file, std::string_view what) {
  return CorruptDatabaseError(
      fmt::format("{} is not a valid Jet database: {}", file.string(), what));
}

void throw_internal_error(std::string_view what) { throw InternalError(std::string(what)); }

}  // namespace norv::jet
