// tests/support/sched_fakes.h -- fake clocks, a recording clock setter and a recording sound
// player for the timer and clock tests.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/datetime.h"

// Lottery wall time from a DateTime (and optional milliseconds into its second).
std::int64_t LotteryMilliseconds(DateTime time, int milliseconds = 0);
// A DateTime from its fields; the fields must name a real time.
DateTime At(int year, int month, int day, int hour, int minute, int second);

// Installs every seam of the clock, sound and timer layers for its lifetime and restores
// the real ones afterwards. The clock setter records instead of setting, so nothing a test
// does can move this machine's clock.
class ScheduleFakes {
 public:
  ScheduleFakes();
  ~ScheduleFakes();
  ScheduleFakes(const ScheduleFakes&) = delete;
  ScheduleFakes& operator=(const ScheduleFakes&) = delete;

  // The fake lottery clock, and how often it was read.
  void SetNow(std::int64_t lotteryMilliseconds);
  void SetNow(DateTime time) { SetNow(LotteryMilliseconds(time)); }
  int ClockReads() const;

  // The tick counter returns these values in turn, then keeps returning the last.
  void SetTicks(std::vector<std::uint32_t> ticks);

  // Whether the recording setter accepts; what it was asked to set (lottery time).
  void SetSetterAccepts(bool accepts);
  std::vector<DateTime> SetTimes() const;

  // Everything played and refreshed, in order: "chime" and "refresh" lines.
  std::vector<std::string> Events() const;
  std::vector<std::string> PlayedWaves() const;
  void ClearEvents();

  // Runs inside every refresh the timer starts (after it has been recorded).
  void OnRefresh(std::function<void()> hook);

 private:
  mutable std::mutex mutex_;
  std::int64_t now_ = 0;
  int clockReads_ = 0;
  std::deque<std::uint32_t> ticks_;
  std::uint32_t lastTick_ = 0;
  bool setterAccepts_ = true;
  std::vector<DateTime> setTimes_;
  std::vector<std::string> events_;
  std::vector<std::string> waves_;
  std::function<void()> refreshHook_;
};
