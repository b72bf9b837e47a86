#pragma once

// The statements this layer executes, parsed from their Jet SQL text:
//   UPDATE <table> SET <column> = <literal>
//   SELECT MAX(<column>) FROM <table>
// Keywords in any letter case, names bare or in [brackets], blanks free, one
// trailing ";" allowed. The literal is a number (optionally signed), a text
// in '…' or "…", NULL, True (-1) or False (0), as Jet SQL reads them.

#include <string>
#include <string_view>
#include <variant>

#include "data/sql_number.h"

namespace norv::data {

struct NullLiteral {};
struct StringLiteral {
  std::string text;
};
using Literal = std::variant<NullLiteral, NumberLiteral, StringLiteral>;

// The literal as the statement wrote it, for messages.
std::string literal_text(const Literal& literal);

struct UpdateStatement {
  std::string table;
  std::string column;
  Literal value;
};

struct SelectMaxStatement {
  std::string table;
  std::string column;
};

using Statement = std::variant<UpdateStatement, SelectMaxStatement>;

// Throws InvalidArgumentError for a syntax error and NotSupportedError for
// valid Jet SQL outside the subset (other statements, WHERE, several
// columns, expressions); both quote the statement and name `database`.
Statement parse_statement(std::string_view statement, std::string_view database);

}  // namespace norv::data
