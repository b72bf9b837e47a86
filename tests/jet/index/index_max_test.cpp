// MAX through an index: the largest value an index on the column gives
// must be the one a scan of the rows finds, for every type whose key order
// is its value order, ascending and descending, with Nulls among the rows
// and in trees of several pages; columns it cannot serve give no answer.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "tests/jet/update_support.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

struct MaxCase {
  const char* name;
  ColumnType type;
  Value (*value_of)(std::int32_t id);  // Null for some rows
};

Value every_fifth_null(std::int32_t id, Value value) { return id % 5 == 0 ? Value{Null{}} : value; }

const MaxCase max_cases[] = {
    {"Byte", ColumnType::byte,
     [](std::int32_t id) { return every_fifth_null(id, static_cast<std::uint8_t>(id * 37 % 256)); }},
    {"Integer", ColumnType::integer,
     [](std::int32_t id) { return every_fifth_null(id, static_cast<std::int16_t>(id * 7919 % 30011 - 15000)); }},
    {"Long", ColumnType::long_integer,
     [](std::int32_t id) { return every_fifth_null(id, (id * 104729) % 1000003 - 500000); }},
    {"Currency", ColumnType::currency,
     [](std::int32_t id) { return every_fifth_null(id, Currency{(id % 97 - 48) * 12345LL}); }},
    {"Double", ColumnType::double_,
     [](std::int32_t id) { return every_fifth_null(id, (id % 89 - 44) * 1.25e3); }},
    {"DateTime", ColumnType::date_time,
     [](std::int32_t id) { return every_fifth_null(id, DateTime{36000.5 + (id * 13 % 101)}); }},
    // Before 1899-12-30 a later hour of a day is a smaller number: -1.25
    // (06:00 on 29 December) is the largest.
    {"DateTime before 1899", ColumnType::date_time,
     [](std::int32_t id) { return every_fifth_null(id, DateTime{-1.25 - (id * 7 % 4) * 0.25 - id % 3}); }},
};

class MaxThroughIndex : public ::testing::TestWithParam<FormatVersion> {
 protected:
  std::filesystem::path create(const MaxCase& c, std::int32_t rows, bool descending,
                               bool all_null = false) {
    TableSpec table{"Company", {column("ID", ColumnType::long_integer), column("Value", c.type)},
                    {{"ValueIdx", {"Value"}, false, false, {descending}}},
                    {}};
    for (std::int32_t id = 1; id <= rows; ++id)
      table.rows.push_back({id, all_null ? Value{Null{}} : c.value_of(id)});
    DatabaseSpec spec;
    spec.format = GetParam();
    spec.tables.push_back(std::move(table));
    const auto path = dir_.path() / "max.mdb";
    create_database(path, spec, {.overwrite = true});
    return path;
  }

  // Every case's values as one number, for the scan's comparison.
  static double as_number(const Value& value) {
    if (const auto* v = std::get_if<std::uint8_t>(&value)) return *v;
    if (const auto* v = std::get_if<std::int16_t>(&value)) return *v;
    if (const auto* v = std::get_if<std::int32_t>(&value)) return *v;
    if (const auto* v = std::get_if<Currency>(&value)) return static_cast<double>(v->scaled);
    if (const auto* v = std::get_if<DateTime>(&value)) return v->serial;
    return std::get<double>(value);
  }

  static Value scanned_max(const std::filesystem::path& db) {
    std::optional<Value> max;
    for (const Value& value : column_values(db, "Company", "Value")) {
      if (is_null(value)) continue;
      if (!max || as_number(value) > as_number(*max)) max = value;
    }
    return max ? *max : Value{Null{}};
  }

  static std::optional<Value> indexed_max(const std::filesystem::path& db,
                                          const std::string& column = "Value") {
    const Database database = Database::open(db);
    const TableInfo table = database.table("Company");
    for (const ColumnInfo& info : table.columns)
      if (info.name == column) return database.max_through_index(table, info);
    ADD_FAILURE() << "no column " << column;
    return std::nullopt;
  }

  test::TempDir dir_;
};

TEST_P(MaxThroughIndex, EqualsTheScanForEveryOrderedType) {
  for (const MaxCase& c : max_cases)
    for (bool descending : {false, true})
      for (std::int32_t rows : {1, 7, 2000}) {
        SCOPED_TRACE(std::string(c.name) + (descending ? " descending, " : " ascending, ") +
                     std::to_string(rows) + " rows");
        const auto db = create(c, rows, descending);
        const std::optional<Value> max = indexed_max(db);
        ASSERT_TRUE(max.has_value()) << "the index was not used";
        EXPECT_EQ(*max, scanned_max(db));
      }
}

TEST_P(MaxThroughIndex, OnlyNullsGiveNull) {
  for (bool descending : {false, true}) {
    const auto db = create(max_cases[2], 30, descending, true);
    const std::optional<Value> max = indexed_max(db);
    ASSERT_TRUE(max.has_value());
    EXPECT_TRUE(is_null(*max));
  }
}

// Text keys follow the sort order, not MAX's comparison; an unindexed
// column has no index to read.
TEST_P(MaxThroughIndex, GivesNoAnswerWhereAnIndexCannotServe) {
  const MaxCase text{"Text", ColumnType::text, [](std::int32_t id) { return Value{std::to_string(id)}; }};
  EXPECT_FALSE(indexed_max(create(text, 20, false)).has_value());
  EXPECT_FALSE(indexed_max(create(max_cases[2], 20, false), "ID").has_value());
}

INSTANTIATE_TEST_SUITE_P(BothFormats, MaxThroughIndex,
                         ::testing::Values(FormatVersion::jet3, FormatVersion::jet4));

}  // namespace
}  // namespace norv::jet
