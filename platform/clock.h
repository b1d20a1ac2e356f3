// platform/clock.h -- the millisecond tick counter, the lottery's wall time and setting it.
#pragma once

#include <cstdint>
#include <functional>

#include "base/datetime.h"

// Milliseconds since an arbitrary start, monotonic, as a 32-bit count that wraps.
std::uint32_t TickCount();

// Test seam: replaces the counter (an empty function restores the real one).
void SetTickCountForTest(std::function<std::uint32_t()> counter);

// The lottery's zone is UTC+8 wherever the machine stands.
inline constexpr int kLotteryUtcOffsetHours = 8;

// The lottery's wall time in milliseconds since 1970-01-01 00:00:00 of its own zone, read
// from the system clock whatever zone the machine is set to (on a UTC+8 machine this is
// its local time).
std::int64_t LotteryClockMilliseconds();

// The lottery's wall time to whole seconds (the fraction is dropped).
DateTime LotteryNow();

// Test seam: replaces the wall clock, in the milliseconds LotteryClockMilliseconds
// returns (an empty function restores the system clock).
void SetLotteryClockForTest(std::function<std::int64_t()> clock);

// Sets the system clock to the instant that the lottery wall time `target` names. A clock
// that already reads within one second of it is left alone and counts as set. Returns
// false when the instant lies before 1970 or the system refuses (no right to set the
// time); the clock is then unchanged.
bool SetLotteryTime(DateTime target);

// Test seam: replaces the system call that sets the clock; the function receives the
// lottery wall time and says whether setting worked (an empty function restores the real
// call). Tests always install one, so no test can move the machine's clock.
void SetClockSetterForTest(std::function<bool(DateTime)> setter);
