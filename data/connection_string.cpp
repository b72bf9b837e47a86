#include "data/connection_string.h"

#include "platform/case_fold.h"
#include "platform/error.h"

namespace norv::data {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

[[noreturn]] void refuse_string(std::string_view text, std::string_view why) {
  throw InvalidArgumentError("The connection string \"" + std::string(text) +
                             "\" cannot be used: " + std::string(why) + ".");
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  ConnectionString run() {
    ConnectionString result;
    bool have_provider = false, have_source = false;
    while (!trim(text_.substr(pos_)).empty()) {
      std::string keyword = read_keyword();
      if (platform::equal_ignoring_case(keyword, "Provider")) {
        result.provider = read_value_to_semicolon();
        have_provider = true;
      } else if (platform::equal_ignoring_case(keyword, "Data Source")) {
        result.data_source = read_data_source();
        have_source = true;
      } else {
        throw NotSupportedError("The connection string \"" + std::string(text_) +
                                "\" holds the keyword \"" + keyword +
                                "\", which this tool does not support; give only Provider and "
                                "Data Source.");
      }
    }
    if (!have_provider) refuse_string(text_, "it names no Provider");
    if (!platform::equal_ignoring_case(result.provider, kJetProvider))
      throw NotSupportedError("The connection string \"" + std::string(text_) +
                              "\" names the provider \"" + result.provider +
                              "\"; this tool opens Jet databases only, with the provider " +
                              std::string(kJetProvider) + ".");
    if (!have_source || result.data_source.empty())
      refuse_string(text_, "it names no database after Data Source=");
    return result;
  }

 private:
  std::string read_keyword() {
    std::size_t equals = text_.find('=', pos_);
    if (equals == std::string_view::npos)
      refuse_string(text_, "\"" + std::string(trim(text_.substr(pos_))) + "\" has no \"=\"");
    std::string keyword(trim(text_.substr(pos_, equals - pos_)));
    pos_ = equals + 1;
    return keyword;
  }

  std::string read_value_to_semicolon() {
    std::size_t end = text_.find(';', pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::string value(trim(text_.substr(pos_, end - pos_)));
    pos_ = end < text_.size() ? end + 1 : end;
    return value;
  }

  std::string read_data_source() {
    std::string_view rest = trim(text_.substr(pos_));
    if (rest.empty() || rest.front() != '"') {
      pos_ = text_.size();
      // A closing ";" ends the string, as in "Data Source=x.mdb;"; a name
      // ending in ";" would be too odd a file name to read it so.
      if (!rest.empty() && rest.back() == ';') rest = trim(rest.substr(0, rest.size() - 1));
      return std::string(rest);
    }
    return read_quoted_path();
  }

  // "C:\a ""b"".mdb" : a doubled quote stands for one.
  std::string read_quoted_path() {
    pos_ = text_.find('"', pos_) + 1;
    std::string path;
    for (; pos_ < text_.size(); ++pos_) {
      if (text_[pos_] != '"') {
        path += text_[pos_];
      } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
        path += '"';
        ++pos_;
      } else {
        ++pos_;
        skip_separator();
        return path;
      }
    }
    refuse_string(text_, "the path in quotes after Data Source= is not closed");
  }

  void skip_separator() {
    std::string_view rest = trim(text_.substr(pos_));
    if (rest.empty()) {
      pos_ = text_.size();
    } else if (rest.front() == ';') {
      pos_ = text_.find(';', pos_) + 1;
    } else {
      refuse_string(text_, "something other than \";\" follows the path in quotes");
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

ConnectionString parse_connection_string(std::string_view text) { return Reader(text).run(); }

}  // namespace norv::data
