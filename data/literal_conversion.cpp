#include "data/literal_conversion.h"

#include <optional>
#include <string>

#include "data/number_text.h"
#include "data/numeric_conversion.h"
#include "data/text_values.h"
#include "jet/types/guid_text.h"
#include "platform/case_fold.h"
#include "platform/error.h"
#include "platform/utf8.h"

namespace norv::data {
namespace {

using jet::ColumnType;

class Converter {
 public:
  Converter(const Literal& literal, const ColumnTarget& target)
      : literal_(literal), target_(target), column_(target.column) {}

  jet::Value run() const {
    if (column_.autonumber)
      fail<InvalidArgumentError>("it is an AutoNumber column, which cannot be updated");
    if (column_.has_validation_rule)
      fail<NotSupportedError>(
          "the column has a validation rule, which this tool does not evaluate; "
          "change the value with Access");
    if (std::holds_alternative<NullLiteral>(literal_)) return null_value();
    if (const auto* number = std::get_if<NumberLiteral>(&literal_)) return from_number(*number);
    return from_text(std::get<StringLiteral>(literal_).text);
  }

 private:
  jet::Value null_value() const {
    if (column_.type == ColumnType::boolean)
      fail<InvalidArgumentError>("a Yes/No column cannot hold Null; give True or False");
    if (column_.required) fail<InvalidArgumentError>("the column is required and cannot hold Null");
    return jet::Null{};
  }

  jet::Value from_number(const NumberLiteral& n) const {
    switch (column_.type) {
      case ColumnType::text:
      case ColumnType::memo:
        return checked_text(n.long_value ? number_to_text(*n.long_value) : number_to_text(n.value));
      case ColumnType::boolean:
        return n.value != 0;
      case ColumnType::byte:
        return in_range(to_byte(n.value));
      case ColumnType::integer:
        return in_range(to_integer(n.value));
      case ColumnType::long_integer:
        return in_range(to_long(n.value));
      case ColumnType::single:
        return in_range(to_single(n.value));
      case ColumnType::double_:
        return n.value;
      case ColumnType::currency:
        return n.long_value ? jet::Value(to_currency(*n.long_value))
                            : in_range(to_currency(n.text));
      case ColumnType::decimal:
        return in_range(n.long_value ? to_decimal(*n.long_value, column_.precision, column_.scale)
                                     : to_decimal(n.value, column_.precision, column_.scale));
      case ColumnType::date_time:
        return in_range(to_date_time(n.value));
      case ColumnType::guid:
      case ColumnType::binary:
      case ColumnType::ole:
        break;
    }
    type_mismatch();
  }

  jet::Value from_text(const std::string& text) const {
    switch (column_.type) {
      case ColumnType::text:
      case ColumnType::memo:
        return checked_text(text);
      case ColumnType::boolean:
        if (platform::equal_ignoring_case(trimmed(text), "True")) return true;
        if (platform::equal_ignoring_case(trimmed(text), "False")) return false;
        return from_number(number_in_text(text));
      case ColumnType::date_time:
        if (auto date = parse_iso_date_time(trimmed(text)))
          return in_range(to_date_time(date->serial));
        break;
      case ColumnType::guid:
        if (auto guid = jet::parse_guid_text(trimmed(text))) return *guid;
        break;
      case ColumnType::binary:
      case ColumnType::ole:
        break;
      default:
        return from_number(number_in_text(text));
    }
    type_mismatch();
  }

  NumberLiteral number_in_text(const std::string& text) const {
    std::optional<NumberLiteral> number = read_number(trimmed(text));
    if (!number) type_mismatch();
    return *number;
  }

  static std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
  }

  jet::Value checked_text(std::string text) const {
    const std::size_t characters = platform::character_count(text);
    if (column_.type == ColumnType::text && characters > column_.max_characters)
      fail<InvalidArgumentError>("the text \"" + text + "\" has " + std::to_string(characters) +
                                 " characters and the column holds at most " +
                                 std::to_string(column_.max_characters));
    return text;
  }

  template <typename T>
  jet::Value in_range(const std::optional<T>& value) const {
    if (!value) fail<OverflowError>("the value is outside the column's range (overflow)");
    return *value;
  }

  [[noreturn]] void type_mismatch() const {
    fail<InvalidArgumentError>("a " + std::string(jet::column_type_name(column_.type)) +
                               " column cannot take this value (type mismatch)");
  }

  template <typename ErrorType>
  [[noreturn]] void fail(const std::string& why) const {
    throw ErrorType("Cannot set the column " + column_.name + " (" +
                    std::string(jet::column_type_name(column_.type)) + ") of the table " +
                    std::string(target_.table) + " in " + std::string(target_.database) + " to " +
                    literal_text(literal_) + ": " + why +
                    ". Nothing was changed; give a value the column accepts.");
  }

  const Literal& literal_;
  const ColumnTarget& target_;
  const jet::ColumnInfo& column_;
};

}  // namespace

jet::Value convert_literal(const Literal& literal, const ColumnTarget& target) {
  return Converter(literal, target).run();
}

}  // namespace norv::data
