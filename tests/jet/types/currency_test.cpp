// Currency text both ways: what is not a number in the form statements and
// descriptions write, and amounts that come back as the text they were read
// from.

#include <gtest/gtest.h>

#include "jet/types/currency.h"

namespace norv::jet {
namespace {

TEST(CurrencyFromText, TextsThatAreNoNumber) {
  for (const char* text : {"", "+", "-", ".", "-.", "1.2.3", "1E", "1e+", "E5", "--1", " 1",
                           "1 ", "1,5", "0x10", "1E5.5", "\xC2\xB9"})
    EXPECT_EQ(currency_from_text(text).outcome, CurrencyTextOutcome::not_a_number) << text;
}

// Written and read again, the amounts of either end and between keep every
// digit.
TEST(CurrencyFromText, ShortestTextReadsBackAsTheSameAmount) {
  for (std::int64_t scaled : {INT64_MIN, INT64_MIN + 1, std::int64_t{-10001}, std::int64_t{-1},
                              std::int64_t{0}, std::int64_t{1}, std::int64_t{10000},
                              std::int64_t{1234567890123456789}, INT64_MAX - 1, INT64_MAX}) {
    const std::string text = currency_to_text(Currency{scaled});
    const CurrencyFromText read = currency_from_text(text);
    EXPECT_EQ(read.outcome, CurrencyTextOutcome::converted) << text;
    EXPECT_EQ(read.value.scaled, scaled) << text;
  }
}

}  // namespace
}  // namespace norv::jet
