#pragma once

// The order in which Jet's MAX and MIN compare the values of one column:
// numbers by value, Currency and Decimal by their exact amounts, Date/Time
// by the stored number (before 1899-12-30 that is not time order: -1.25,
// 06:00 on 29 December 1899, is larger than -1.75, 18:00 that day), text
// without regard to case (by the code points of the upper-case forms),
// Yes/No as the numbers they are in Jet SQL (Yes = -1, No = 0). Binary, GUID, Memo and OLE values have no order here.

#include "jet/types/column_type.h"
#include "jet/types/value.h"

namespace norv::data {

bool is_ordered_type(jet::ColumnType type);

// Both values non-Null and of one column's type. <0, 0 or >0.
int compare_values(const jet::Value& a, const jet::Value& b);

}  // namespace norv::data
