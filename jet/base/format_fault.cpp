#include "jet/base/format_fault.h"

#include <fmt/format.h>

#include <string>
#include <utility>

namespace norv::jet {

void throw_format_fault(std::string what) { throw FormatFault(std::move(what)); }

void RowOrigin::corrupt(std::string_view what) const {
  throw_format_fault(fmt::format("table {}, page {} row {}: {}", table, page, row, what));
}

void throw_internal_error(std::string_view what) { throw InternalError(std::string(what)); }

}  // namespace norv::jet
