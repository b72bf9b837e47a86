#include "data/value_order.h"

#include <gtest/gtest.h>


namespace norv::data {
namespace {

int compare(const jet::Value& a, const jet::Value& b) { return compare_values(a, b); }

TEST(ValueOrder, NumbersByValue) {
  EXPECT_GT(compare(std::int32_t{12}, std::int32_t{5}), 0);
  EXPECT_LT(compare(std::int32_t{-12}, std::int32_t{-1}), 0);
  EXPECT_GT(compare(std::int16_t{40}, std::int16_t{-40}), 0);
  EXPECT_GT(compare(std::uint8_t{200}, std::uint8_t{100}), 0);
  EXPECT_GT(compare(12.5, 1.5), 0);
  EXPECT_EQ(compare(0.0, -0.0), 0);
  EXPECT_LT(compare(jet::Currency{-1}, jet::Currency{0}), 0);
}

TEST(ValueOrder, TextWithoutRegardToCase) {
  EXPECT_GT(compare(std::string("5"), std::string("12")), 0);
  EXPECT_EQ(compare(std::string("abc"), std::string("ABC")), 0);
  EXPECT_GT(compare(std::string("b"), std::string("A")), 0);
  EXPECT_GT(compare(std::string("ab"), std::string("A")), 0);
  EXPECT_EQ(compare(std::string("ÄÖ"), std::string("äö")), 0);
}

TEST(ValueOrder, YesIsMinusOneAndSoBelowNo) { EXPECT_LT(compare(true, false), 0); }

// Jet orders Date/Time by the stored number, as its index keys do: before
// 1899-12-30 the day counts back while the time of day counts forward, so
// a later hour of such a day is the smaller number.
struct DatePair {
  const char* what;
  double larger;
  double smaller;
};

const DatePair date_pairs[] = {
    {"2001-02-03 12:00 after 06:00", 36925.5, 36925.25},
    {"1899-12-29 06:00 above 12:00 that day", -1.25, -1.5},
    {"1899-12-29 06:00 above 18:00 that day", -1.25, -1.75},
    {"1899-12-29 18:00 above 1899-12-28", -1.75, -2.0},
    {"1899-12-30 above 1899-12-29 06:00", 0.0, -1.25},
};

TEST(ValueOrder, DatesByTheStoredNumber) {
  for (const DatePair& pair : date_pairs) {
    SCOPED_TRACE(pair.what);
    EXPECT_GT(compare(jet::DateTime{pair.larger}, jet::DateTime{pair.smaller}), 0);
    EXPECT_LT(compare(jet::DateTime{pair.smaller}, jet::DateTime{pair.larger}), 0);
  }
}

TEST(ValueOrder, DecimalsBySignAndMagnitude) {
  jet::Decimal one{false, {0, 0, 0, 10000}, 4};
  jet::Decimal big{false, {0, 0, 1, 0}, 4};
  jet::Decimal minus_one{true, {0, 0, 0, 10000}, 4};
  jet::Decimal minus_big{true, {0, 0, 1, 0}, 4};
  jet::Decimal minus_zero{true, {0, 0, 0, 0}, 4};
  EXPECT_GT(compare(big, one), 0);
  EXPECT_GT(compare(one, minus_big), 0);
  EXPECT_GT(compare(minus_one, minus_big), 0);
  EXPECT_EQ(compare(minus_zero, jet::Decimal{false, {}, 4}), 0);
}

TEST(ValueOrder, UnorderedTypes) {
  EXPECT_FALSE(is_ordered_type(jet::ColumnType::memo));
  EXPECT_FALSE(is_ordered_type(jet::ColumnType::guid));
  EXPECT_TRUE(is_ordered_type(jet::ColumnType::text));
  EXPECT_ANY_THROW(compare(std::int32_t{1}, 1.0));
}

}  // namespace
}  // namespace norv::data
