// platform/clock.cpp -- the tick counter, the lottery's wall time and the clock setter.
#include "platform/clock.h"

#include <time.h>

#include <cstdlib>

#include "base/seam.h"

namespace {

constexpr std::int64_t kLotteryOffsetSeconds = kLotteryUtcOffsetHours * 3600;

// A clock within this many milliseconds of the target is not set again: the Date header
// that the target comes from has whole seconds only.
constexpr std::int64_t kSetToleranceMilliseconds = 1000;

Seam<std::function<std::uint32_t()>> tickSeam;
Seam<std::function<std::int64_t()>> wallClockSeam;
Seam<std::function<bool(DateTime)>> setterSeam;

std::int64_t SystemLotteryMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return (static_cast<std::int64_t>(now.tv_sec) + kLotteryOffsetSeconds) * 1000 +
         now.tv_nsec / 1000000;
}

// Sets CLOCK_REALTIME; the kernel refuses without CAP_SYS_TIME and for instants it cannot
// hold.
bool SetSystemClock(DateTime target) {
  timespec instant{};
  instant.tv_sec = static_cast<time_t>(target.seconds - kLotteryOffsetSeconds);
  instant.tv_nsec = 0;
  return clock_settime(CLOCK_REALTIME, &instant) == 0;
}

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor) {
  std::int64_t quotient = value / divisor;
  return value % divisor < 0 ? quotient - 1 : quotient;
}

}  // namespace

std::uint32_t TickCount() {
  if (auto seam = tickSeam.Get()) return seam();
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
            static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);  // wraps like the platform counter
}

void SetTickCountForTest(std::function<std::uint32_t()> counter) {
  tickSeam.Set(std::move(counter));
}

std::int64_t LotteryClockMilliseconds() {
  if (auto seam = wallClockSeam.Get()) return seam();
  return SystemLotteryMilliseconds();
}

DateTime LotteryNow() {
  return DateTime{FloorDivide(LotteryClockMilliseconds(), 1000)};
}

void SetLotteryClockForTest(std::function<std::int64_t()> clock) {
  wallClockSeam.Set(std::move(clock));
}

bool SetLotteryTime(DateTime target) {
  if (target.seconds - kLotteryOffsetSeconds < 0) return false;  // before the system epoch
  std::int64_t difference = LotteryClockMilliseconds() - target.seconds * 1000;
  if (std::llabs(difference) <= kSetToleranceMilliseconds) return true;
  if (auto seam = setterSeam.Get()) return seam(target);
  return SetSystemClock(target);
}

void SetClockSetterForTest(std::function<bool(DateTime)> setter) {
  setterSeam.Set(std::move(setter));
}
