#pragma once

// A statement's literal converted to the value a column stores, as Jet
// converts it:
//   Text, Memo      numbers as Windows writes them ("1.0" -> "1"); a text
//                   longer than a Text column's size is refused
//   Byte, Integer,  rounded half to even; outside the type's range an
//   Long            OverflowError
//   Single, Double  the nearest value
//   Currency        4 decimals, half to even, from the literal's own
//                   digits; outside the type's range an OverflowError
//   Decimal         the column's scale, further digits cut; too many
//                   integer digits an OverflowError
//   Yes/No          non-zero is Yes
//   Date/Time       a number is a date serial (0 = 1899-12-30)
//   GUID, Binary,   numbers are a type mismatch
//   OLE Object
// A text in quotes goes into a numeric or Yes/No column when it is plainly a
// number (blanks around it allowed, "." as the decimal point) and into Yes/No
// also as True or False; into a Date/Time column as an ISO 8601 date; into a
// GUID column in the braced form. Anything else is a type mismatch.
// NULL is refused by a required column and by Yes/No, which cannot hold it.
// An AutoNumber column cannot be updated, and a column with a validation
// rule is refused because the rule is not evaluated here.
// Every refusal is an exception naming the column, the table and the file.

#include <string_view>

#include "data/sql_statement.h"
#include "jet/database.h"
#include "jet/types/value.h"

namespace norv::data {

struct ColumnTarget {
  const jet::ColumnInfo& column;
  std::string_view table;
  std::string_view database;
};

jet::Value convert_literal(const Literal& literal, const ColumnTarget& target);

}  // namespace norv::data
