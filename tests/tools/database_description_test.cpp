// The JSON description of `jet-cli create`: every type's values, both row
// forms, and descriptions that are wrong.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/types/decimal.h"
#include "platform/error.h"
#include "tools/jet_cli/database_description.h"

namespace norv::jet_cli {
namespace {

using ::testing::HasSubstr;
using nlohmann::json;

jet::DatabaseSpec parse(const char* text) {
  return parse_database_description(json::parse(text), "demo.json");
}

TEST(DatabaseDescription, ReadsTablesColumnsIndexesLinksAndQueries) {
  auto spec = parse(R"({
    "format": "jet3", "code_page": 1251,
    "tables": [{"name": "Control",
                "columns": [{"name": "ID", "type": "Long", "autonumber": true},
                            {"name": "Version", "type": "text", "size": 20, "compressed_unicode": true}],
                "indexes": [{"name": "PrimaryKey", "columns": ["ID"], "primary_key": true}],
                "rows": [[1, "0.9"], {"Version": "1.0"}]}],
    "links": [{"name": "Remote", "database": "other.mdb", "foreign_name": "Control"}],
    "select_queries": [{"name": "AllControl", "table": "Control"}]})");
  EXPECT_EQ(spec.format, jet::FormatVersion::jet3);
  EXPECT_EQ(spec.code_page, 1251);
  ASSERT_EQ(spec.tables.size(), 1u);
  const auto& t = spec.tables[0];
  EXPECT_EQ(t.columns[0].type, jet::ColumnType::long_integer);
  EXPECT_TRUE(t.columns[0].autonumber);
  EXPECT_EQ(t.columns[1].size, 20);
  EXPECT_TRUE(t.columns[1].compressed_unicode);
  EXPECT_TRUE(t.indexes[0].primary_key);
  EXPECT_EQ(t.rows[0], (jet::RowValues{std::int32_t{1}, std::string("0.9")}));
  EXPECT_EQ(t.rows[1], (jet::RowValues{jet::Null{}, std::string("1.0")}));
  EXPECT_EQ(spec.links[0].foreign_name, "Control");
  EXPECT_EQ(spec.select_queries[0].table, "Control");
}

TEST(DatabaseDescription, ConvertsEveryTypeByItsColumn) {
  auto spec = parse(R"({"tables": [{"name": "T",
    "columns": [{"name": "F", "type": "Yes/No"}, {"name": "B", "type": "Byte"},
                {"name": "I", "type": "Integer"}, {"name": "C", "type": "Currency"},
                {"name": "S", "type": "Single"}, {"name": "D", "type": "Double"},
                {"name": "T", "type": "Date/Time"}, {"name": "Bin", "type": "Binary"},
                {"name": "O", "type": "OLE Object"}, {"name": "M", "type": "Memo"},
                {"name": "G", "type": "GUID"}, {"name": "N", "type": "Decimal", "precision": 18, "scale": 4}],
    "rows": [[true, 255, -2, "-1.25", 0.5, 0.9, "2001-02-03T04:05:06", "0aFF", "", "m",
              "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", 0.9]]}]})");
  const auto& row = spec.tables[0].rows[0];
  EXPECT_EQ(row[0], jet::Value{true});
  EXPECT_EQ(row[1], jet::Value{std::uint8_t{255}});
  EXPECT_EQ(row[2], jet::Value{std::int16_t{-2}});
  EXPECT_EQ(row[3], jet::Value{jet::Currency{-12500}});
  EXPECT_EQ(row[4], jet::Value{0.5f});
  EXPECT_EQ(row[5], jet::Value{0.9});
  EXPECT_EQ(jet::to_display_text(row[6]), "2001-02-03T04:05:06");
  EXPECT_EQ(row[7], (jet::Value{jet::Binary{{0x0A, 0xFF}}}));
  EXPECT_EQ(row[8], (jet::Value{jet::Binary{}}));
  EXPECT_EQ(row[9], jet::Value{std::string("m")});
  EXPECT_EQ(jet::to_display_text(row[10]), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
  EXPECT_EQ(jet::to_display_text(row[11]), "0.9");
}

// A Currency amount is taken from its digits as written, to the ends of the
// type's range, rounded half to even at the fifth decimal as an update
// rounds it.
TEST(DatabaseDescription, CurrencyFromItsDigits) {
  struct Case {
    const char* value;
    std::int64_t scaled;
  };
  const Case cases[] = {
      {R"("-922337203685477.5808")", INT64_MIN}, {R"("922337203685477.5807")", INT64_MAX},
      {R"("0.00015")", 2},                       {R"("-0.00025")", -2},
      {R"("0.12345")", 1234},                    {"12", 120000},
      {"1.5e3", 15000000},                       {"-1.25", -12500},
  };
  for (const Case& c : cases) {
    const std::string text = std::string(R"({"tables": [{"name": "T", "columns": [{"name": "A", )"
                                         R"("type": "Currency"}], "rows": [[)") +
                             c.value + "]]}]}";
    EXPECT_EQ(parse(text.c_str()).tables[0].rows[0][0], jet::Value{jet::Currency{c.scaled}})
        << c.value;
  }
}

TEST(DatabaseDescription, MistakesNameTheFileAndThePlace) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {R"({"format": "jet5"})", "format"},
      {R"([1])", "must be a JSON object"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Number"}]}]})", "unknown column type \"Number\""},
      {R"({"tables": [{"columns": []}]})", "name"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Byte"}], "rows": [[256]]}]})", "T row 1, column A: 256 does not fit"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Long"}], "rows": [[1.5]]}]})", "whole number"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Long"}], "rows": [[1, 2]]}]})", "2 values for 1 columns"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Long"}], "rows": [{"B": 1}]}]})", "unknown column B"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Currency"}], "rows": [["-922337203685477.5809"]]}]})", "from -922337203685477.5808 to 922337203685477.5807"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Currency"}], "rows": [["1.2.3"]]}]})", "needs a number"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Date/Time"}], "rows": [["2001-02-30"]]}]})", "YYYY-MM-DD"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Binary"}], "rows": [["0g"]]}]})", "hex digit"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "GUID"}], "rows": [["{1234}"]]}]})", "needs a GUID"},
  };
  for (const Case& c : cases) {
    try {
      parse(c.text);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const InvalidArgumentError& e) {
      EXPECT_THAT(e.what(), HasSubstr("demo.json: "));
      EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.text;
    }
  }
}

}  // namespace
}  // namespace norv::jet_cli
