#include "data/number_text.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/error.h"

namespace norv::data {
namespace {

TEST(NumberText, VersionNumbersLoseTrailingZeros) {
  EXPECT_EQ(number_to_text(1.0), "1");
  EXPECT_EQ(number_to_text(1.10), "1.1");
  EXPECT_EQ(number_to_text(2.50), "2.5");
  EXPECT_EQ(number_to_text(0.1), "0.1");
  EXPECT_EQ(number_to_text(10.25), "10.25");
  EXPECT_EQ(number_to_text(100.0), "100");
  EXPECT_EQ(number_to_text(2), "2");
}

TEST(NumberText, LongsAreWrittenInFull) {
  EXPECT_EQ(number_to_text(std::int32_t{-2147483647 - 1}), "-2147483648");
  EXPECT_EQ(number_to_text(std::int32_t{0}), "0");
}

TEST(NumberText, AtMostFifteenSignificantDigitsRounded) {
  EXPECT_EQ(number_to_text(0.1 + 0.2), "0.3");  // 0.30000000000000004
  EXPECT_EQ(number_to_text(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(number_to_text(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(number_to_text(123456789012345.0), "123456789012345");
  EXPECT_EQ(number_to_text(12345678901234.56), "12345678901234.6");
  EXPECT_EQ(number_to_text(1.23456789012345678), "1.23456789012346");
}

TEST(NumberText, ENotationFromTenToTheFifteen) {
  EXPECT_EQ(number_to_text(999999999999999.0), "999999999999999");
  EXPECT_EQ(number_to_text(1e15), "1E+15");
  EXPECT_EQ(number_to_text(1234567890123456.0), "1.23456789012346E+15");
  // Rounding to 15 digits carries into the next power of ten.
  EXPECT_EQ(number_to_text(999999999999999.9), "1E+15");
  EXPECT_EQ(number_to_text(1.5e300), "1.5E+300");
  EXPECT_EQ(number_to_text(-2e20), "-2E+20");
}

TEST(NumberText, ENotationBelowTenToTheMinusFour) {
  EXPECT_EQ(number_to_text(0.0001), "0.0001");
  EXPECT_EQ(number_to_text(0.00012345), "0.00012345");
  EXPECT_EQ(number_to_text(0.00001), "1E-05");
  EXPECT_EQ(number_to_text(0.000015), "1.5E-05");
  EXPECT_EQ(number_to_text(-1.5e-7), "-1.5E-07");
  EXPECT_EQ(number_to_text(5e-324), "4.94065645841247E-324");
}

TEST(NumberText, NegativesAndZero) {
  EXPECT_EQ(number_to_text(-1.5), "-1.5");
  EXPECT_EQ(number_to_text(-0.0), "0");
  EXPECT_EQ(number_to_text(0.0), "0");
}

TEST(NumberText, NonFiniteNumbersAreRefused) {
  EXPECT_THROW(number_to_text(std::numeric_limits<double>::infinity()), InvalidArgumentError);
  EXPECT_THROW(number_to_text(std::numeric_limits<double>::quiet_NaN()), InvalidArgumentError);
}

TEST(NumberText, SignificantDigitsGiveDigitsAndExponent) {
  SignificantDigits d = significant_digits(1234.5);
  EXPECT_EQ(d.digits, "12345");
  EXPECT_EQ(d.exponent, 3);
  d = significant_digits(0.000123);
  EXPECT_EQ(d.digits, "123");
  EXPECT_EQ(d.exponent, -4);
}

}  // namespace
}  // namespace norv::data
