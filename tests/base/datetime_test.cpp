// tests/base/datetime_test.cpp -- building, splitting and adding to date-times.
#include <gtest/gtest.h>

#include "base/datetime.h"

namespace {

TEST(DateTime, BuildAndSplitRoundTrip) {
  const DateTimeParts cases[] = {
      {2024, 12, 10, 6, 21, 33}, {100, 1, 1, 0, 0, 0},     {2000, 2, 29, 23, 59, 59},
      {1969, 12, 31, 12, 0, 0},  {9999, 12, 31, 23, 59, 59}, {1970, 1, 1, 0, 0, 0},
  };
  for (const auto& parts : cases) {
    auto value = MakeDateTime(parts);
    ASSERT_TRUE(value) << parts.year;
    EXPECT_EQ(SplitDateTime(*value), parts) << FormatDateTime(*value);
  }
}

TEST(DateTime, RejectsOutOfRangeFields) {
  EXPECT_FALSE(MakeDateTime(2023, 2, 29, 0, 0, 0));
  EXPECT_FALSE(MakeDateTime(1900, 2, 29, 0, 0, 0));
  EXPECT_TRUE(MakeDateTime(2000, 2, 29, 0, 0, 0));
  EXPECT_FALSE(MakeDateTime(2024, 4, 31, 0, 0, 0));
  EXPECT_FALSE(MakeDateTime(2024, 13, 1, 0, 0, 0));
  EXPECT_FALSE(MakeDateTime(2024, 1, 0, 0, 0, 0));
  EXPECT_FALSE(MakeDateTime(2024, 1, 1, 24, 0, 0));
  EXPECT_FALSE(MakeDateTime(2024, 1, 1, 0, 60, 0));
  EXPECT_FALSE(MakeDateTime(2024, 1, 1, 0, 0, 60));
}

TEST(DateTime, AddingCarriesIntoTheDate) {
  DateTime t = *MakeDateTime(2024, 12, 10, 20, 0, 0);
  EXPECT_EQ(FormatDateTime(AddHours(t, 8)), "2024-12-11 04:00:00");
  EXPECT_EQ(FormatDateTime(AddMinutes(*MakeDateTime(2024, 12, 31, 23, 59, 30), 1)),
            "2025-01-01 00:00:30");
  EXPECT_EQ(FormatDateTime(AddSeconds(*MakeDateTime(2024, 3, 1, 0, 0, 0), -1)),
            "2024-02-29 23:59:59");
  EXPECT_EQ(SecondsBetween(t, AddHours(t, 2)), 7200);
}

TEST(DateTime, ParsesTheTextForm) {
  EXPECT_EQ(FormatDateTime(*ParseDateTimeText("2024-12-10 06:21:33")), "2024-12-10 06:21:33");
  EXPECT_EQ(FormatDateTime(*ParseDateTimeText("2024-1-2 3:4:5")), "2024-01-02 03:04:05");
  const char* bad[] = {"2024-02-30 00:00:00", "2024-12-10 25:00:00", "2024-12-10",
                       "2024-12-10 06:21",    "x2024-12-10 06:21:33", "2024-12-10 06:21:33 ",
                       ""};
  for (const char* text : bad) EXPECT_FALSE(ParseDateTimeText(text)) << text;
}

}  // namespace
