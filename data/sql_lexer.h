#pragma once

// Splits a statement into the tokens of the Jet SQL subset this layer
// reads: words, [bracketed names], 'strings' and "strings" (a doubled quote
// stands for one), unsigned numbers and single-character symbols.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace norv::data {

enum class TokenKind { word, bracketed_name, string, number, symbol, end };

struct Token {
  TokenKind kind = TokenKind::end;
  std::string text;      // a name without brackets, a string without quotes
  std::string_view raw;  // the token as written in the statement
  std::size_t offset = 0;
};

// Throws InvalidArgumentError (quoting the statement and naming `database`)
// for an unterminated string or name and for characters outside the
// subset. The last token is always TokenKind::end.
std::vector<Token> tokenize(std::string_view statement, std::string_view database);

// "Syntax error in the statement "…" for <database>: <detail>. …", the one
// wording of syntax errors.
[[noreturn]] void throw_syntax_error(std::string_view statement, std::string_view database,
                                     std::string_view detail);

}  // namespace norv::data
