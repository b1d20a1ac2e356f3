// tests/support/sched_fakes.cpp -- fakes for the clock, sound and timer seams.
#include "tests/support/sched_fakes.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/clock.h"
#include "platform/sound.h"
#include "schedule/timer.h"

namespace {

// From the start of every test binary that uses these fakes, the clock setter refuses
// instead of reaching the system, even in a test that forgets to install the fakes.
class ClockSetterGuard : public ::testing::Environment {
 public:
  void SetUp() override {
    SetClockSetterForTest([](DateTime) { return false; });
  }
};

[[maybe_unused]] ::testing::Environment* const clockSetterGuard =
    ::testing::AddGlobalTestEnvironment(new ClockSetterGuard);

}  // namespace

std::int64_t LotteryMilliseconds(DateTime time, int milliseconds) {
  return time.seconds * 1000 + milliseconds;
}

DateTime At(int year, int month, int day, int hour, int minute, int second) {
  auto time = MakeDateTime(year, month, day, hour, minute, second);
  if (!time) throw std::invalid_argument("no such date and time");
  return *time;
}

ScheduleFakes::ScheduleFakes() {
  SetClockSetterForTest([this](DateTime target) {
    std::lock_guard<std::mutex> lock(mutex_);
    setTimes_.push_back(target);
    return setterAccepts_;
  });
  SetLotteryClockForTest([this] {
    std::lock_guard<std::mutex> lock(mutex_);
    ++clockReads_;
    return now_;
  });
  SetTickCountForTest([this] {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ticks_.empty()) {
      lastTick_ = ticks_.front();
      ticks_.pop_front();
    }
    return lastTick_;
  });
  SetSoundPlayerForTest([this](const std::string& wave) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back("chime");
    waves_.push_back(wave);
  });
  SetTimerRefreshForTest([this] {
    std::function<void()> hook;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      events_.push_back("refresh");
      hook = refreshHook_;
    }
    if (hook) hook();
  });
}

ScheduleFakes::~ScheduleFakes() {
  SetTimerRefreshForTest(nullptr);
  SetSoundPlayerForTest(nullptr);
  SetTickCountForTest(nullptr);
  SetLotteryClockForTest(nullptr);
  // The setter goes last and is never left empty while a test runs: a refusing stand-in
  // guards the machine's clock between fakes.
  SetClockSetterForTest([](DateTime) { return false; });
}

void ScheduleFakes::SetNow(std::int64_t lotteryMilliseconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_ = lotteryMilliseconds;
}

int ScheduleFakes::ClockReads() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return clockReads_;
}

void ScheduleFakes::SetTicks(std::vector<std::uint32_t> ticks) {
  std::lock_guard<std::mutex> lock(mutex_);
  ticks_.assign(ticks.begin(), ticks.end());
}

void ScheduleFakes::SetSetterAccepts(bool accepts) {
  std::lock_guard<std::mutex> lock(mutex_);
  setterAccepts_ = accepts;
}

std::vector<DateTime> ScheduleFakes::SetTimes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return setTimes_;
}

std::vector<std::string> ScheduleFakes::Events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::vector<std::string> ScheduleFakes::PlayedWaves() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waves_;
}

void ScheduleFakes::ClearEvents() {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.clear();
  waves_.clear();
  clockReads_ = 0;
}

void ScheduleFakes::OnRefresh(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  refreshHook_ = std::move(hook);
}
