// tests/schedule/timer_test.cpp -- countdown text, per-second actions and tick alignment.
#include "schedule/timer.h"

#include <gtest/gtest.h>

#include "app/main_view.h"
#include "assets/assets.h"
#include "platform/codepage.h"
#include "platform/sound.h"
#include "tests/support/recording_view.h"
#include "tests/support/sched_fakes.h"

namespace {

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { SetMainView(&view); }
  void TearDown() override { SetMainView(nullptr); }

  // Runs one tick at the given lottery time on a fixed day.
  void TickAt(int hour, int minute, int second) {
    fakes.SetNow(At(2024, 12, 10, hour, minute, second));
    OnTimerTick();
  }

  std::string Countdown() const { return GbkToUtf8(view.LabelText(Control::透明标签1)); }

  RecordingView view;
  ScheduleFakes fakes;
};

TEST_F(TimerTest, CountdownLabelRunsOutAtMinuteOneAfterEachDraw) {
  struct Row {
    int hour, minute, second;
    const char* label;
  };
  const Row rows[] = {
      {10, 5, 30, "距开奖剩余：330 秒"},  {10, 1, 0, "距开奖剩余：600 秒"},
      {12, 34, 56, "距开奖剩余：364 秒"}, {21, 59, 30, "距开奖剩余：90 秒"},
      {22, 1, 0, "距开奖剩余：300 秒"},   {23, 59, 30, "距开奖剩余：90 秒"},
      {0, 0, 0, "距开奖剩余：60 秒"},     {2, 0, 30, "距开奖剩余：30 秒"},
      {2, 1, 0, "距开奖剩余：28800 秒"},  {9, 59, 59, "距开奖剩余：61 秒"},
      {10, 0, 59, "距开奖剩余：1 秒"},
  };
  for (const Row& row : rows) {
    TickAt(row.hour, row.minute, row.second);
    EXPECT_EQ(Countdown(), row.label) << row.hour << ":" << row.minute << ":" << row.second;
  }
}

TEST_F(TimerTest, ChimesAndRefreshesOnlyAtTheirSeconds) {
  struct Row {
    int hour, minute, second;
    std::vector<std::string> events;
  };
  const std::vector<std::string> none;
  const std::vector<std::string> chime{"chime"};
  const std::vector<std::string> refresh{"refresh"};
  const Row rows[] = {
      {10, 1, 1, chime},  {10, 1, 2, chime},   {10, 1, 3, refresh}, {10, 1, 30, refresh},
      {10, 1, 0, none},   {10, 1, 4, none},    {10, 2, 3, none},    {10, 11, 3, refresh},
      {21, 51, 2, chime}, {22, 6, 3, refresh}, {22, 11, 1, chime},  {2, 6, 1, chime},
      {2, 6, 3, refresh}, {3, 1, 3, none},     {9, 1, 3, none},     {9, 1, 30, refresh},
      {3, 1, 1, none},    {0, 56, 2, chime},   {23, 3, 1, none},
  };
  for (const Row& row : rows) {
    fakes.ClearEvents();
    TickAt(row.hour, row.minute, row.second);
    EXPECT_EQ(fakes.Events(), row.events) << row.hour << ":" << row.minute << ":" << row.second;
    // All of a tick's decisions come from a single reading of the clock.
    EXPECT_EQ(fakes.ClockReads(), 1) << row.hour << ":" << row.minute << ":" << row.second;
  }
}

TEST_F(TimerTest, ChimePlaysTheEmbeddedSound) {
  TickAt(10, 1, 1);
  TickAt(10, 1, 2);
  ASSERT_EQ(fakes.PlayedWaves().size(), 2u);
  EXPECT_EQ(fakes.PlayedWaves()[0], LoadAsset("chime.wav"));
  std::optional<WaveSound> chime = ReadWave(fakes.PlayedWaves()[0]);
  ASSERT_TRUE(chime);
  EXPECT_EQ(chime->channels, 1);
  EXPECT_EQ(chime->sampleRate, 44100);
  EXPECT_EQ(chime->bitsPerSample, 16);
  EXPECT_EQ(chime->samples.size(), 48582u * 2);
}

// A refresh may let window events run, and so run a nested tick before it returns: the
// nested tick must work normally rather than wait on the outer one.
TEST_F(TimerTest, TickNestedInsideARefreshRunsThrough) {
  int nested = 0;
  fakes.OnRefresh([&] {
    if (nested++ > 0) return;
    TickAt(10, 1, 31);
    TickAt(10, 1, 30);
  });
  TickAt(10, 1, 30);
  EXPECT_EQ(fakes.Events(), (std::vector<std::string>{"refresh", "refresh"}));
  EXPECT_EQ(Countdown(), "距开奖剩余：570 秒");
}

TEST_F(TimerTest, NextTickLandsJustAfterTheNextWholeSecond) {
  struct Row {
    int millisecondsIntoSecond;
    int wait;
  };
  const Row rows[] = {{0, 1020}, {19, 1001}, {20, 1000}, {21, 999}, {500, 520}, {999, 21}};
  const DateTime second = At(2024, 12, 10, 10, 1, 1);
  for (const Row& row : rows) {
    fakes.SetNow(LotteryMilliseconds(second, row.millisecondsIntoSecond));
    EXPECT_EQ(MillisecondsToNextTick(), row.wait) << row.millisecondsIntoSecond;
  }
}

}  // namespace
