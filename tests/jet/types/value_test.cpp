// Values as people and JSON read them.

#include <gtest/gtest.h>

#include "jet/types/date_time_text.h"
#include "jet/types/decimal.h"
#include "jet/types/guid_text.h"
#include "jet/types/value.h"

namespace norv::jet {
namespace {

TEST(DisplayText, NumbersInShortestForm) {
  EXPECT_EQ(to_display_text(Value{std::uint8_t{200}}), "200");
  EXPECT_EQ(to_display_text(Value{std::int16_t{-5}}), "-5");
  EXPECT_EQ(to_display_text(Value{std::int32_t{40000}}), "40000");
  EXPECT_EQ(to_display_text(Value{0.9}), "0.9");
  EXPECT_EQ(to_display_text(Value{0.5f}), "0.5");
  EXPECT_EQ(to_display_text(Value{12.5}), "12.5");
}

TEST(DisplayText, CurrencyAndDecimal) {
  EXPECT_EQ(to_display_text(Currency{9000}), "0.9");
  EXPECT_EQ(to_display_text(Currency{-12345}), "-1.2345");
  EXPECT_EQ(to_display_text(Currency{50000}), "5");
  EXPECT_EQ(to_display_text(Currency{INT64_MIN}), "-922337203685477.5808");
  EXPECT_EQ(to_display_text(*parse_decimal("0.9000")), "0.9000");
}

TEST(DisplayText, DatesInIso8601) {
  EXPECT_EQ(to_display_text(DateTime{36925.17020833334}), "2001-02-03T04:05:06");
  EXPECT_EQ(to_display_text(DateTime{0}), "1899-12-30T00:00:00");
  // Before 1899-12-30 the day counts back, the time of day stays positive.
  EXPECT_EQ(to_display_text(DateTime{-1.25}), "1899-12-29T06:00:00");
  // Rounding to the second may carry into the next day.
  EXPECT_EQ(to_display_text(DateTime{1.9999999999}), "1900-01-01T00:00:00");
  EXPECT_EQ(to_display_text(DateTime{2958465.999988426}), "9999-12-31T23:59:59");
  EXPECT_EQ(to_display_text(DateTime{1e12}), "1000000000000");
}

TEST(DisplayText, GuidBinaryTextNullAndBooleans) {
  Guid guid{{0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D, 0x00, 0xC0, 0x4F,
             0xC9, 0x64, 0xFF}};
  EXPECT_EQ(to_display_text(guid), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
  EXPECT_EQ(to_display_text(Binary{{0x00, 0xAB, 0x10}}), "00AB10");
  EXPECT_EQ(to_display_text(std::string("0.9")), "0.9");
  EXPECT_EQ(to_display_text(Null{}), "Null");
  EXPECT_EQ(to_display_text(true), "true");
}

}  // namespace
}  // namespace norv::jet

namespace norv::jet {
namespace {

TEST(IsoDates, ParseBackWhatTheyPrint) {
  for (double serial : {36925.17020833334, 0.0, -1.25, 2958465.999988426, -657434.0}) {
    auto text = to_display_text(DateTime{serial});
    auto parsed = iso_to_ole_date(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(to_display_text(DateTime{*parsed}), text);
  }
  EXPECT_EQ(iso_to_ole_date("2001-02-03"), 36925.0);
  EXPECT_EQ(iso_to_ole_date("1899-12-29 06:00:00"), -1.25);
}

TEST(IsoDates, RefuseImpossibleText) {
  for (const char* bad : {"", "2001-2-3", "2001-02-30", "2001-13-01", "0099-01-01",
                          "2001-02-03T24:00:00", "2001-02-03T04:05", "2001-02-03X04:05:06",
                          "2001-02-03T04:05:06Z"})
    EXPECT_FALSE(iso_to_ole_date(bad)) << bad;
}

}  // namespace
}  // namespace norv::jet

namespace norv::jet {
namespace {

TEST(GuidText, ReadsBackWhatItShowsAndOnlyThatForm) {
  const Guid guid{{0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D, 0x00, 0xC0, 0x4F,
                   0xC9, 0x64, 0xFF}};
  for (const char* text : {"{6F9619FF-8B86-D011-B42D-00C04FC964FF}",
                           "6F9619FF-8B86-D011-B42D-00C04FC964FF",
                           "{6f9619ff-8b86-d011-b42d-00c04fc964ff}"}) {
    const auto parsed = parse_guid_text(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(*parsed, guid) << text;
  }
  EXPECT_EQ(guid_text(guid), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
  for (const char* bad : {"", "{}", "{", "{6F9619FF-8B86-D011-B42D-00C04FC964FF",
                          "6F9619FF-8B86-D011-B42D-00C04FC964FF}",
                          "{6F9619FF-8B86-D011-B42D00C04FC964FF}",
                          "{6F9619FF8B86-D011-B42D-00C04FC964FF-}",
                          "{6F9619FF-8B86-D011-B42D-00C04FC964F}",
                          "{6F9619FF-8B86-D011-B42D-00C04FC964FFF}",
                          "{6F9619FG-8B86-D011-B42D-00C04FC964FF}",
                          "{+F9619FF-8B86-D011-B42D-00C04FC964FF}",
                          "{6F9619FF-8B86-D011-B42D-00C04FC964FF} "})
    EXPECT_FALSE(parse_guid_text(bad)) << bad;
}

}  // namespace
}  // namespace norv::jet
