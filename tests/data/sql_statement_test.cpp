#include "data/sql_statement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/error.h"

namespace norv::data {
namespace {

using ::testing::HasSubstr;

constexpr std::string_view kDb = "C:\\Data\\Fendrel.mdb";

UpdateStatement parse_update(std::string_view text) {
  return std::get<UpdateStatement>(parse_statement(text, kDb));
}

NumberLiteral parse_number_value(std::string_view value) {
  return std::get<NumberLiteral>(
      parse_update("UPDATE Control SET Version = " + std::string(value)).value);
}

template <typename ErrorType>
std::string error_of(std::string_view text) {
  try {
    parse_statement(text, kDb);
  } catch (const ErrorType& e) {
    return e.what();
  }
  ADD_FAILURE() << "no error for: " << text;
  return {};
}

TEST(SqlStatement, ReadsTheStatementAsTheStampingCodeBuildsIt) {
  UpdateStatement update = parse_update("UPDATE Control SET Version = 1.0");
  EXPECT_EQ(update.table, "Control");
  EXPECT_EQ(update.column, "Version");
  NumberLiteral number = std::get<NumberLiteral>(update.value);
  EXPECT_EQ(number.value, 1.0);
  EXPECT_FALSE(number.long_value);
  EXPECT_EQ(number.text, "1.0");
}

TEST(SqlStatement, KeywordsInAnyCaseNamesInBracketsBlanksFree) {
  UpdateStatement update = parse_update("  update\t[Dovrel Control]  set [Version]=7 ;  ");
  EXPECT_EQ(update.table, "Dovrel Control");
  EXPECT_EQ(update.column, "Version");
  EXPECT_EQ(std::get<NumberLiteral>(update.value).long_value, 7);

  auto select = std::get<SelectMaxStatement>(
      parse_statement("select max ( [CompanyNo] ) from\n[Company]", kDb));
  EXPECT_EQ(select.table, "Company");
  EXPECT_EQ(select.column, "CompanyNo");
  select = std::get<SelectMaxStatement>(parse_statement("SELECT MAX(CompanyNo) FROM Company", kDb));
  EXPECT_EQ(select.column, "CompanyNo");
}

TEST(SqlStatement, NumbersWithPointOrExponentAreDoubles) {
  for (std::string_view text : {"1.0", "1.", ".5", "1E3", "1e+3", "2.5E-1"})
    EXPECT_FALSE(parse_number_value(text).long_value) << text;
  EXPECT_EQ(parse_number_value(".5").value, 0.5);
  EXPECT_EQ(parse_number_value("1e+3").value, 1000);
  EXPECT_EQ(parse_number_value("2.5E-1").value, 0.25);
}

TEST(SqlStatement, DigitsAloneAreLongsWhenTheyFit) {
  EXPECT_EQ(parse_number_value("2147483647").long_value, 2147483647);
  EXPECT_EQ(parse_number_value("-2147483648").long_value, -2147483647 - 1);
  EXPECT_EQ(parse_number_value("007").long_value, 7);
  NumberLiteral big = parse_number_value("2147483648");
  EXPECT_FALSE(big.long_value);
  EXPECT_EQ(big.value, 2147483648.0);
}

TEST(SqlStatement, SignsApplyToTheNumber) {
  EXPECT_EQ(parse_number_value("-1.5").value, -1.5);
  EXPECT_EQ(parse_number_value("+3").long_value, 3);
  EXPECT_EQ(parse_number_value("- 2").long_value, -2);
}

TEST(SqlStatement, TextNullTrueAndFalse) {
  EXPECT_EQ(std::get<StringLiteral>(parse_update("UPDATE t SET c = 'it''s'").value).text, "it's");
  EXPECT_EQ(std::get<StringLiteral>(parse_update("UPDATE t SET c = \"say \"\"hi\"\"\"").value).text,
            "say \"hi\"");
  EXPECT_EQ(std::get<StringLiteral>(parse_update("UPDATE t SET c = ''").value).text, "");
  EXPECT_EQ(std::get<StringLiteral>(parse_update("UPDATE t SET c = 'a\"b'").value).text, "a\"b");
  EXPECT_TRUE(std::holds_alternative<NullLiteral>(parse_update("UPDATE t SET c = null").value));
  EXPECT_EQ(std::get<NumberLiteral>(parse_update("UPDATE t SET c = True").value).long_value, -1);
  EXPECT_EQ(std::get<NumberLiteral>(parse_update("UPDATE t SET c = FALSE").value).long_value, 0);
}

TEST(SqlStatement, HugeNumbersOverflowTinyOnesAreZero) {
  EXPECT_THROW(parse_update("UPDATE t SET c = 1E400"), OverflowError);
  EXPECT_THROW(parse_update("UPDATE t SET c = 99999" + std::string(400, '9')), OverflowError);
  EXPECT_EQ(parse_number_value("1E-400").value, 0);
  EXPECT_EQ(parse_number_value("0E999").value, 0);
}

// A runaway literal is named by its first characters and its length: the
// message still names the file and stays short.
TEST(SqlStatement, MessagesQuoteOnlyTheStartOfAHugeStatement) {
  const std::string digits(100000, '9');
  for (const std::string& text :
       {"UPDATE Control SET Version = " + digits, "UPDATE Control SET Version = 1" + digits + "x",
        "DELETE FROM Control WHERE x = " + digits}) {
    std::string message;
    try {
      parse_statement(text, kDb);
    } catch (const Error& e) {
      message = e.what();
    }
    EXPECT_THAT(message, HasSubstr(std::string(kDb)));
    EXPECT_THAT(message, HasSubstr("characters)"));
    EXPECT_LT(message.size(), 1000u) << message.substr(0, 200);
  }
}

TEST(SqlStatement, SyntaxErrorsQuoteTheStatementAndTheFile) {
  std::string message = error_of<InvalidArgumentError>("UPDATE Control SET Version = 1.0a");
  EXPECT_THAT(message, HasSubstr("\"UPDATE Control SET Version = 1.0a\""));
  EXPECT_THAT(message, HasSubstr(std::string(kDb)));
  EXPECT_THAT(message, HasSubstr("\"a\""));
  for (std::string_view text :
       {"UPDATE Control SET Version = ", "UPDATE Control SET Version 1",
        "UPDATE Control Version = 1", "UPDATE SET Version = 1",
        "UPDATE Control SET Version = 1.0.0", "UPDATE Control SET Version = 1,",
        "UPDATE Control SET Version = 1,0", "UPDATE Control SET Version = 'open",
        "UPDATE [Control SET Version = 1", "UPDATE [] SET Version = 1",
        "UPDATE Control SET Version = 1E", "UPDATE Control SET Version = $5",
        "UPDATE Control SET Version = 1; 2", "UPDATE Control SET Version = --1",
        "SELECT MAX(CompanyNo FROM Company", "SELECT MAX() FROM Company"})
    error_of<InvalidArgumentError>(text);
}

TEST(SqlStatement, ValidSqlOutsideTheSubsetIsNotSupported) {
  std::string message = error_of<NotSupportedError>("DELETE FROM Control");
  EXPECT_THAT(message, HasSubstr("\"DELETE FROM Control\""));
  EXPECT_THAT(message, HasSubstr(std::string(kDb)));
  for (std::string_view text :
       {"", "   ", "UPDATE Control SET Version = 1 WHERE ID = 1",
        "UPDATE Control SET Version = 1, Build = 2", "UPDATE Control SET Version = Build",
        "UPDATE Control.x SET Version = 1", "SELECT CompanyNo FROM Company",
        "SELECT MIN(CompanyNo) FROM Company", "SELECT MAX(CompanyNo), MAX(Name) FROM Company",
        "SELECT MAX(CompanyNo) FROM Company WHERE Name = 'x'", "INSERT INTO Control VALUES (1)"})
    error_of<NotSupportedError>(text);
}

TEST(SqlStatement, LiteralTextForMessages) {
  EXPECT_EQ(literal_text(parse_update("UPDATE t SET c = -1.50").value), "-1.50");
  EXPECT_EQ(literal_text(parse_update("UPDATE t SET c = 'x'").value), "'x'");
  EXPECT_EQ(literal_text(parse_update("UPDATE t SET c = NULL").value), "NULL");
}

TEST(SqlNumber, ReadNumberNeedsTheWholeText) {
  EXPECT_TRUE(read_number("12"));
  EXPECT_TRUE(read_number("-1.5e3"));
  for (std::string_view text :
       {"", "-", ".", "1.0.0", "1 0", "12abc", "0x1F", "1d2", "1.5e", "+-1"})
    EXPECT_FALSE(read_number(text)) << text;
}

}  // namespace
}  // namespace norv::data
