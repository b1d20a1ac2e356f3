// schedule/timer.h -- the one-second timer: countdown, refresh schedule and chime.
#pragma once

#include <functional>

#include "base/datetime.h"

// Handler of the window's one-second timer 时钟1: shows the countdown in 透明标签1,
// refreshes the draw results at second 30 of every minute and at second 3 of each draw
// minute, and starts the chime at seconds 1 and 2 of a draw minute. Reads the lottery
// clock once; a refresh runs on the calling thread.
void OnTimerTick();

// Seconds from `now` (lottery time) until the countdown runs out at minute 01 after the
// next draw; at least 1.
int SecondsToNextDraw(DateTime now);
// The same from the lottery clock.
int SecondsToNextDraw();

// The wait that 时钟1 should use for its next tick so that it lands shortly after the next
// whole second of the lottery clock. Restarting the timer with it on every tick keeps the
// ticks from drifting across a second boundary, which would skip or double a second.
int MillisecondsToNextTick();

// Test seam: replaces the refresh that the timer runs (an empty function restores
// RefreshCycle).
void SetTimerRefreshForTest(std::function<void()> refresh);
