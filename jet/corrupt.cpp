#include "jet/corrupt.h"

#include <fmt/format.h>
#include <fmt/std.h>

#include "platform/error.h"

namespace norv::jet {

void throw_corrupt(const std::filesystem::path& file, std::string_view what) {
  throw CorruptDatabaseError(
      fmt::format("{} is not a valid Jet database: {}", file.string(), what));
}

void RowOrigin::corrupt(std::string_view what) const {
  throw_corrupt(file, fmt::format("table {}, page {} row {}: {}", table, page, row, what));
}

}  // namespace norv::jet
