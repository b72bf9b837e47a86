#include "jet/base/corrupt.h"

#include <fmt/format.h>

#include "jet/base/format_fault.h"

namespace norv::jet {

void throw_corrupt(const std::filesystem::path& file, std::string_view what) {
  throw corrupt_database(file, what);
}

void RowOrigin::corrupt(std::string_view what) const {
  throw_corrupt(file, fmt::format("table {}, page {} row {}: {}", table, page, row, what));
}

}  // namespace norv::jet
