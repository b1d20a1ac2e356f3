// tests/schedule/clock_sync_test.cpp -- reading the Date header and setting the clock from it.
#include "schedule/clock_sync.h"

#include <gtest/gtest.h>

#include "app/main_view.h"
#include "platform/codepage.h"
#include "tests/support/recording_view.h"
#include "tests/support/sched_date_server.h"
#include "tests/support/sched_fakes.h"

namespace {

TEST(ParseHttpDateTest, AcceptsOnlyTheFixedDateForm) {
  struct Row {
    const char* value;
    bool accepted;
    const char* result;  // when accepted
  };
  const Row rows[] = {
      {"Tue, 10 Dec 2024 06:21:33 GMT", true, "2024-12-10 06:21:33"},
      {"Xyz, 1 Jan 2009 00:00:00 GMT", true, "2009-01-01 00:00:00"},  // weekday not examined
      {"Tue, 31 Dec 5000 23:59:59 GMT", true, "5000-12-31 23:59:59"},
      {"Tue, 10 dec 2024 06:21:33 GMT", false, ""},
      {"Tue, 10 DEC 2024 06:21:33 GMT", false, ""},
      {"Tue, 10 Dec 2024 06:21:33 UTC", false, ""},
      {"Tue, 10 Dec 2024 06:21:33 gmt", false, ""},
      {"Tue, 10 Dec 2008 06:21:33 GMT", false, ""},
      {"Tue, 10 Dec 5001 06:21:33 GMT", false, ""},
      {"Tue, 0 Dec 2024 06:21:33 GMT", false, ""},
      {"Tue, 32 Dec 2024 06:21:33 GMT", false, ""},
      {"Tue,  10 Dec 2024 06:21:33 GMT", false, ""},
      {"Tue, 10 Dec 2024  06:21:33 GMT", false, ""},
      {"Tuesday, 10-Dec-24 06:21:33 GMT", false, ""},
      {"Tue, 10 Dec 2024 06:21:33", false, ""},
      {"", false, ""},
      // Accepted pieces that name no real time give the year 100, which no clock takes.
      {"Sat, 31 Feb 2024 06:21:33 GMT", true, "0100-01-01 00:00:00"},
      {"Tue, 29 Feb 2023 06:21:33 GMT", true, "0100-01-01 00:00:00"},
      {"Tue, 10 Dec 2024 25:00:00 GMT", true, "0100-01-01 00:00:00"},
      {"Tue, 10 Dec 2024 06:60:00 GMT", true, "0100-01-01 00:00:00"},
      {"Tue, 10 Dec 2024 06:21 GMT", true, "0100-01-01 00:00:00"},
  };
  for (const Row& row : rows) {
    const DateTime untouched{-42};
    DateTime result = untouched;
    EXPECT_EQ(ParseHttpDate(row.value, result), row.accepted) << row.value;
    if (row.accepted) {
      EXPECT_EQ(FormatDateTime(result), row.result) << row.value;
    } else {
      EXPECT_EQ(result, untouched) << row.value;
    }
  }
}

class SyncClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMainView(&view);
    SetTimeHostForTest(server.HostAndPort());
    // Far from every Date used here, so that the clock always needs setting.
    fakes.SetNow(At(2020, 1, 1, 0, 0, 0));
  }
  void TearDown() override {
    SetTimeHostForTest("");
    SetMainView(nullptr);
  }

  void ServeDate(const std::string& date) { server.Answer("/123.123", 404, {{"Date", date}}); }

  std::vector<std::string> SetTimes() const {
    std::vector<std::string> texts;
    for (DateTime time : fakes.SetTimes()) texts.push_back(FormatDateTime(time));
    return texts;
  }

  RecordingView view;
  ScheduleFakes fakes;
  DateServer server;
};

TEST_F(SyncClockTest, SetsLotteryTimeFromDatePlusElapsedWholeSeconds) {
  struct Row {
    const char* date;
    std::uint32_t sent, parsed;  // tick counter readings
    const char* set;
  };
  const Row rows[] = {
      {"Tue, 10 Dec 2024 06:21:33 GMT", 5000, 6500, "2024-12-10 14:21:34"},
      {"Tue, 10 Dec 2024 06:21:33 GMT", 5000, 5999, "2024-12-10 14:21:33"},
      {"Tue, 10 Dec 2024 20:00:00 GMT", 5000, 5100, "2024-12-11 04:00:00"},
      // The counter wraps between the two readings.
      {"Tue, 10 Dec 2024 06:21:33 GMT", 0xFFFFFC18u, 1476, "2024-12-10 14:21:35"},
  };
  std::vector<std::string> expected;
  for (const Row& row : rows) {
    fakes.SetTicks({row.sent, row.parsed});
    ServeDate(row.date);
    EXPECT_TRUE(SyncClockFromWeb()) << row.date;
    expected.push_back(row.set);
  }
  EXPECT_EQ(SetTimes(), expected);
  EXPECT_TRUE(view.Messages().empty());
  EXPECT_EQ(server.Requests().front(), "HEAD /123.123");
}

TEST_F(SyncClockTest, NoUsableDateChangesNothingAndShowsNothing) {
  server.Answer("/123.123", 200, {});  // no Date header
  EXPECT_FALSE(SyncClockFromWeb());
  ServeDate("Tue, 10 dec 2024 06:21:33 GMT");
  EXPECT_FALSE(SyncClockFromWeb());

  int closedPort = 0;
  {
    DateServer gone;
    closedPort = std::stoi(gone.HostAndPort().substr(gone.HostAndPort().find(':') + 1));
  }
  SetTimeHostForTest("127.0.0.1:" + std::to_string(closedPort));
  EXPECT_FALSE(SyncClockFromWeb());

  EXPECT_TRUE(fakes.SetTimes().empty());
  EXPECT_TRUE(view.Messages().empty());
}

TEST_F(SyncClockTest, RefusedSettingShowsTheErrorBoxOnce) {
  fakes.SetSetterAccepts(false);
  ServeDate("Tue, 10 Dec 2024 06:21:33 GMT");
  EXPECT_TRUE(SyncClockFromWeb());
  EXPECT_EQ(fakes.SetTimes().size(), 1u);
  ASSERT_EQ(view.Messages().size(), 1u);
  const RecordingView::Message message = view.Messages()[0];
  EXPECT_EQ(GbkToUtf8(message.text), "时间修改失败，请检查你是否有足够的权限修改本机时间！");
  EXPECT_EQ(message.style, 16);
  EXPECT_EQ(GbkToUtf8(message.caption), "错误");
}

TEST_F(SyncClockTest, DateOfNoRealTimeCannotBeSetAndShowsTheBox) {
  ServeDate("Sat, 31 Feb 2024 06:21:33 GMT");
  EXPECT_TRUE(SyncClockFromWeb());
  EXPECT_TRUE(fakes.SetTimes().empty());
  EXPECT_EQ(view.Messages().size(), 1u);
}

TEST_F(SyncClockTest, ClockThatAgreesWithinASecondIsLeftAlone) {
  ServeDate("Tue, 10 Dec 2024 06:21:33 GMT");
  fakes.SetTicks({100, 200});
  fakes.SetNow(LotteryMilliseconds(At(2024, 12, 10, 14, 21, 33), 900));
  fakes.SetSetterAccepts(false);  // a user without the right sees no box either
  EXPECT_TRUE(SyncClockFromWeb());
  EXPECT_TRUE(fakes.SetTimes().empty());
  EXPECT_TRUE(view.Messages().empty());
}

}  // namespace
