#pragma once

// An update's long values: Memo and OLE data written as LVAL rows through
// an UpdatePlan, and the rows an old value occupies.

#include <cstdint>
#include <span>
#include <vector>

#include "jet/format/long_value.h"
#include "jet/write/update_plan.h"

namespace norv::jet {

// Memo and OLE data that does not stay in its row, as an update stores it:
// LVAL rows on new pages at the end of the file, at the plan's new_rows
// stage, so nothing refers to them until the row that owns them is written.
// Values of one update share the new pages while they have room.
class LongValueAppender {
 public:
  explicit LongValueAppender(UpdatePlan& plan) : plan_(plan) {}

  // Stores `data` (one row when it fits a row, otherwise a chain) and
  // returns the 12-byte field the owning row holds.
  std::vector<std::uint8_t> store(std::span<const std::uint8_t> data);

  // The LVAL pages this writer added, for the column's usage maps.
  const std::vector<std::uint32_t>& added_pages() const { return pages_; }

 private:
  RowPointer place(std::size_t row_size);

  UpdatePlan& plan_;
  std::vector<std::uint32_t> pages_;
};

// The LVAL rows a stored value occupies (none for inline data), following a
// chain's next pointers. Each must be a plain row of a long-value page and
// none may repeat; anything else is a FormatFault.
std::vector<RowPointer> long_value_rows(UpdatePlan& plan, const LongValueField& field);

}  // namespace norv::jet
