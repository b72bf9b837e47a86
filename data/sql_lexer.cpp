#include "data/sql_lexer.h"

#include "data/sql_number.h"
#include "platform/error.h"

namespace norv::data {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Letters beyond ASCII arrive as UTF-8 bytes of 0x80 and above.
bool is_word_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool is_word_char(char c) { return is_word_start(c) || (c >= '0' && c <= '9'); }

class Lexer {
 public:
  Lexer(std::string_view statement, std::string_view database)
      : text_(statement), database_(database) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    for (;;) {
      while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
      if (pos_ == text_.size()) break;
      tokens.push_back(next());
    }
    tokens.push_back({TokenKind::end, "", text_.substr(pos_), pos_});
    return tokens;
  }

 private:
  Token next() {
    std::size_t start = pos_;
    char c = text_[pos_];
    if (c == '[') return bracketed(start);
    if (c == '\'' || c == '"') return quoted(start, c);
    if (std::size_t n = scan_number(text_.substr(pos_)); n > 0) {
      pos_ += n;
      return make(TokenKind::number, std::string(text_.substr(start, n)), start);
    }
    if (is_word_start(c)) {
      while (pos_ < text_.size() && is_word_char(text_[pos_])) ++pos_;
      return make(TokenKind::word, std::string(text_.substr(start, pos_ - start)), start);
    }
    if (std::string_view("()=,;+-*.").find(c) != std::string_view::npos) {
      ++pos_;
      return make(TokenKind::symbol, std::string(1, c), start);
    }
    throw_syntax_error(text_, database_,
                       "the character \"" + std::string(1, c) + "\" is not understood here");
  }

  Token bracketed(std::size_t start) {
    std::size_t close = text_.find(']', start + 1);
    if (close == std::string_view::npos)
      throw_syntax_error(text_, database_, "a name opened with \"[\" is not closed with \"]\"");
    if (close == start + 1) throw_syntax_error(text_, database_, "\"[]\" names nothing");
    pos_ = close + 1;
    return make(TokenKind::bracketed_name, std::string(text_.substr(start + 1, close - start - 1)),
                start);
  }

  Token quoted(std::size_t start, char quote) {
    std::string value;
    for (pos_ = start + 1; pos_ < text_.size(); ++pos_) {
      if (text_[pos_] != quote) {
        value += text_[pos_];
      } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == quote) {
        value += quote;
        ++pos_;
      } else {
        ++pos_;
        return make(TokenKind::string, std::move(value), start);
      }
    }
    throw_syntax_error(text_, database_,
                       "a text value opened with " + std::string(1, quote) + " is not closed");
  }

  Token make(TokenKind kind, std::string text, std::size_t start) const {
    return {kind, std::move(text), text_.substr(start, pos_ - start), start};
  }

  std::string_view text_;
  std::string_view database_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<Token> tokenize(std::string_view statement, std::string_view database) {
  return Lexer(statement, database).run();
}

void throw_syntax_error(std::string_view statement, std::string_view database,
                        std::string_view detail) {
  throw InvalidArgumentError("Syntax error in the statement \"" + excerpt(statement) +
                             "\" for " + std::string(database) + ": " + std::string(detail) +
                             ". Check the value that was typed.");
}

}  // namespace norv::data
