// tests/platform/clock_test.cpp -- the lottery's wall time and setting the clock.
#include "platform/clock.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "tests/support/sched_fakes.h"

namespace {

std::int64_t SystemMillisecondsUtc() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The machine's zone plays no part: the lottery clock is UTC+8 from the system clock.
TEST(LotteryClockTest, IsUtcPlusEightWhateverTheLocalZone) {
  const char* saved = std::getenv("TZ");
  const std::string savedZone = saved ? saved : "";
  for (const char* zone : {"UTC0", "EST5EDT", "CST-8", "NZST-12"}) {
    setenv("TZ", zone, 1);
    tzset();
    const std::int64_t before = SystemMillisecondsUtc();
    const std::int64_t lottery = LotteryClockMilliseconds();
    const std::int64_t after = SystemMillisecondsUtc();
    EXPECT_GE(lottery, before + 8 * 3600 * 1000) << zone;
    EXPECT_LE(lottery, after + 8 * 3600 * 1000) << zone;
  }
  if (saved) {
    setenv("TZ", savedZone.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST(LotteryClockTest, NowDropsTheFractionOfTheSecond) {
  ScheduleFakes fakes;
  const DateTime second = At(2024, 12, 10, 14, 21, 33);
  fakes.SetNow(LotteryMilliseconds(second, 999));
  EXPECT_EQ(LotteryNow(), second);
  fakes.SetNow(LotteryMilliseconds(At(1970, 1, 1, 0, 0, 0), -1));  // before the epoch
  EXPECT_EQ(FormatDateTime(LotteryNow()), "1969-12-31 23:59:59");
}

TEST(SetLotteryTimeTest, SetsOnlyWhenOffByMoreThanASecond) {
  struct Row {
    int offsetMilliseconds;  // clock reading minus target
    bool setterAccepts;
    bool setCalled;
    bool result;
  };
  const Row rows[] = {
      {0, false, false, true},     {1000, false, false, true}, {-1000, false, false, true},
      {1001, true, true, true},    {-1001, true, true, true},  {3600000, true, true, true},
      {-5000, false, true, false},
  };
  const DateTime target = At(2024, 12, 10, 14, 21, 34);
  for (const Row& row : rows) {
    ScheduleFakes fakes;
    fakes.SetNow(LotteryMilliseconds(target, row.offsetMilliseconds));
    fakes.SetSetterAccepts(row.setterAccepts);
    EXPECT_EQ(SetLotteryTime(target), row.result) << row.offsetMilliseconds;
    EXPECT_EQ(fakes.SetTimes(),
              row.setCalled ? std::vector<DateTime>{target} : std::vector<DateTime>{})
        << row.offsetMilliseconds;
  }
}

TEST(SetLotteryTimeTest, InstantBeforeTheSystemEpochIsRefusedWithoutTrying) {
  ScheduleFakes fakes;
  EXPECT_FALSE(SetLotteryTime(At(100, 1, 1, 8, 0, 0)));
  EXPECT_FALSE(SetLotteryTime(At(1970, 1, 1, 7, 59, 59)));  // 1969-12-31 23:59:59 UTC
  EXPECT_TRUE(fakes.SetTimes().empty());
  EXPECT_TRUE(SetLotteryTime(At(1970, 1, 1, 8, 0, 0)));
  EXPECT_EQ(fakes.SetTimes().size(), 1u);
}

// Removes the right to set the time from this process for good; true when it is gone.
bool DropTheRightToSetTime() {
  if (prctl(PR_CAPBSET_DROP, CAP_SYS_TIME, 0, 0, 0) != 0 && errno != EINVAL) return false;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  const unsigned bit = 1u << CAP_SYS_TIME;
  data[0].effective &= ~bit;
  data[0].permitted &= ~bit;
  data[0].inheritable &= ~bit;
  if (syscall(SYS_capset, &header, data) != 0) return false;
  if (syscall(SYS_capget, &header, data) != 0) return false;
  return (data[0].effective & bit) == 0 && (data[0].permitted & bit) == 0;
}

// The real setter, in a child process that has lost the right to set the time: the
// refusal comes back as false. The child stops before the call if the right is not gone,
// so this test cannot move the machine's clock.
TEST(SetLotteryTimeTest, SystemRefusalIsReportedAsFailure) {
  pid_t child = fork();
  if (child == 0) {
    if (!DropTheRightToSetTime()) _exit(3);
    SetClockSetterForTest(nullptr);  // the real call, in the child only
    const DateTime twoHoursAhead = AddHours(LotteryNow(), 2);
    _exit(SetLotteryTime(twoHoursAhead) ? 1 : 0);
  }
  ASSERT_GT(child, 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 3) << "could not drop the right to set the time";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
