// schedule/timer.cpp -- the one-second timer: countdown, refresh schedule and chime.
#include "schedule/timer.h"

#include <cstdint>
#include <string>

#include "app/main_view.h"
#include "assets/assets.h"
#include "base/seam.h"
#include "draws/refresh.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/sound.h"

namespace {

// How long after a whole second a tick should land: enough that timer jitter never puts
// a tick before the second it is meant for.
constexpr int kTickLagMilliseconds = 20;

Seam<std::function<void()>> refreshSeam;

// The minute divisor of the hour's draw rule: draw minutes are those with minute mod
// divisor = 1. 0 for the hours without draws.
int DrawMinuteDivisor(int hour) {
  if (hour <= 2 || hour >= 22) return 5;
  if (hour >= 10 && hour <= 21) return 10;
  return 0;
}

void RunRefresh() {
  auto seam = refreshSeam.Get();
  // No lock is held here: a refresh may let window events run, and with them a nested tick.
  if (seam) {
    seam();
  } else {
    RefreshCycle();
  }
}

void PlayChime() {
  static const std::string chime = LoadAsset("chime.wav");
  PlayWaveAsync(chime);
}

std::string CountdownText(int seconds) {
  return Gbk("距开奖剩余：") + std::to_string(seconds) + Gbk(" 秒");
}

}  // namespace

void OnTimerTick() {
  const DateTime now = LotteryNow();
  const DateTimeParts parts = SplitDateTime(now);
  View().SetLabelText(Control::透明标签1, CountdownText(SecondsToNextDraw(now)));
  if (parts.second == 30) RunRefresh();

  const int divisor = DrawMinuteDivisor(parts.hour);
  if (divisor == 0 || parts.minute % divisor != 1) return;
  if (parts.second == 1 || parts.second == 2) PlayChime();
  if (parts.second == 3) RunRefresh();
}

int SecondsToNextDraw(DateTime now) {
  const DateTime a = AddMinutes(now, -1);
  const DateTimeParts p = SplitDateTime(a);
  if (p.hour >= 2 && p.hour <= 9) {
    const DateTime opening{a.seconds - (p.hour * 3600 + p.minute * 60 + p.second) + 10 * 3600};
    return static_cast<int>(SecondsBetween(a, opening));
  }
  if (p.hour >= 10 && p.hour <= 21) return (10 - p.minute % 10) * 60 - p.second;
  return (5 - p.minute % 5) * 60 - p.second;
}

int SecondsToNextDraw() {
  return SecondsToNextDraw(LotteryNow());
}

int MillisecondsToNextTick() {
  const std::int64_t now = LotteryClockMilliseconds();
  const int intoSecond = static_cast<int>((now % 1000 + 1000) % 1000);
  return 1000 - intoSecond + kTickLagMilliseconds;
}

void SetTimerRefreshForTest(std::function<void()> refresh) {
  refreshSeam.Set(std::move(refresh));
}
