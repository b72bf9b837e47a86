#include "data/sql_statement.h"

#include <vector>

#include "data/sql_lexer.h"
#include "platform/case_fold.h"
#include "platform/error.h"

namespace norv::data {
namespace {

constexpr std::string_view kSubset =
    "the tool executes only UPDATE <table> SET <column> = <value> without WHERE, and "
    "SELECT MAX(<column>) FROM <table>";

class Parser {
 public:
  Parser(std::string_view statement, std::string_view database)
      : statement_(statement), database_(database), tokens_(tokenize(statement, database)) {}

  Statement run() {
    if (is_keyword("UPDATE")) return finish(update());
    if (is_keyword("SELECT")) return finish(select_max());
    not_supported(peek().kind == TokenKind::end ? "the statement is empty"
                                                : "it is not an UPDATE or a SELECT");
  }

 private:
  UpdateStatement update() {
    ++pos_;
    UpdateStatement update;
    update.table = name("the table to update");
    expect_keyword("SET");
    update.column = name("the column to set");
    expect_symbol("=", "after the column's name");
    update.value = literal();
    if (is_symbol(",") && is_assignment_at(pos_ + 1)) not_supported("it sets more than one column");
    if (is_keyword("WHERE")) not_supported("it has a WHERE clause");
    return update;
  }

  SelectMaxStatement select_max() {
    ++pos_;
    if (!is_keyword("MAX")) not_supported("it selects something other than MAX(<column>)");
    ++pos_;
    SelectMaxStatement select;
    expect_symbol("(", "after MAX");
    select.column = name("the column of MAX");
    expect_symbol(")", "after the column of MAX");
    if (is_symbol(",")) not_supported("it selects more than one value");
    expect_keyword("FROM");
    select.table = name("the table to read");
    if (peek().kind != TokenKind::end && !is_symbol(";"))
      not_supported("it has clauses after FROM <table>");
    return select;
  }

  template <typename T>
  Statement finish(T statement) {
    if (is_symbol(";")) ++pos_;
    if (peek().kind != TokenKind::end) unexpected("where the statement must end");
    return statement;
  }

  std::string name(std::string_view role) {
    const Token& token = peek();
    if (token.kind != TokenKind::word && token.kind != TokenKind::bracketed_name)
      unexpected("where " + std::string(role) + " must be named");
    ++pos_;
    if (is_symbol(".")) not_supported("it uses a qualified name");
    return token.text;
  }

  Literal literal() {
    if (peek().kind == TokenKind::string) return StringLiteral{take().text};
    if (is_keyword("NULL")) {
      ++pos_;
      return NullLiteral{};
    }
    if (is_keyword("TRUE")) return NumberLiteral{-1, -1, take().text};
    if (is_keyword("FALSE")) return NumberLiteral{0, 0, take().text};
    std::string sign;
    if (is_symbol("-") || is_symbol("+")) sign = take().text;
    if (peek().kind == TokenKind::word && sign.empty())
      not_supported("the value " + excerpt(peek().text) +
                    " is a name, not a number or a text in quotes");
    if (peek().kind == TokenKind::number) {
      if (std::optional<NumberLiteral> value = number(sign + peek().text)) {
        ++pos_;
        return *value;
      }
    }
    unexpected("where the value must stand");
  }

  const Token& take() { return tokens_[pos_++]; }

  // A number too large for Jet is refused for this database's statement.
  std::optional<NumberLiteral> number(const std::string& text) const {
    try {
      return read_number(text);
    } catch (const OverflowError& error) {
      throw OverflowError("The statement \"" + excerpt(statement_) + "\" for " +
                          std::string(database_) + " cannot be run: " + error.what() + ".");
    }
  }

  // "<name> =" at tokens_[at]: a further assignment, valid Jet SQL.
  bool is_assignment_at(std::size_t at) const {
    if (at + 1 >= tokens_.size()) return false;
    TokenKind kind = tokens_[at].kind;
    const Token& next = tokens_[at + 1];
    return (kind == TokenKind::word || kind == TokenKind::bracketed_name) &&
           next.kind == TokenKind::symbol && next.text == "=";
  }
  const Token& peek() const { return tokens_[pos_]; }
  bool is_keyword(std::string_view keyword) const {
    return peek().kind == TokenKind::word && platform::equal_ignoring_case(peek().text, keyword);
  }
  bool is_symbol(std::string_view symbol) const {
    return peek().kind == TokenKind::symbol && peek().text == symbol;
  }

  void expect_keyword(std::string_view keyword) {
    if (!is_keyword(keyword)) unexpected("where " + std::string(keyword) + " must follow");
    ++pos_;
  }
  void expect_symbol(std::string_view symbol, std::string_view where) {
    if (!is_symbol(symbol))
      unexpected("where \"" + std::string(symbol) + "\" must stand " + std::string(where));
    ++pos_;
  }

  [[noreturn]] void unexpected(std::string_view where) const {
    const Token& token = peek();
    std::string found = token.kind == TokenKind::end ? "the statement ends"
                                                     : "\"" + excerpt(token.raw) + "\" stands";
    throw_syntax_error(statement_, database_, found + " " + std::string(where));
  }

  [[noreturn]] void not_supported(std::string_view why) const {
    throw NotSupportedError("The statement \"" + excerpt(statement_) + "\" for " +
                            std::string(database_) + " is not supported: " + std::string(why) +
                            "; " + std::string(kSubset) + ".");
  }

  std::string_view statement_;
  std::string_view database_;
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string literal_text(const Literal& literal) {
  if (std::holds_alternative<NullLiteral>(literal)) return "NULL";
  if (const auto* number = std::get_if<NumberLiteral>(&literal)) return number->text;
  return "'" + std::get<StringLiteral>(literal).text + "'";
}

Statement parse_statement(std::string_view statement, std::string_view database) {
  return Parser(statement, database).run();
}

}  // namespace norv::data
