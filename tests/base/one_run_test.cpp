// tests/base/one_run_test.cpp -- requests made during a run, from the same thread and from
// another, fold into exactly one more run.
#include "base/one_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(OneRunAtATime, RequestsDuringARunMakeItGoExactlyOnceMore) {
  OneRunAtATime runs;
  int bodies = 0;
  int nestedCalls = 0;
  runs.Run([&] {
    ++bodies;
    EXPECT_TRUE(runs.InProgress());
    if (bodies == 1) {
      // Two requests from inside the run (as from events it lets run): neither runs now.
      for (int i = 0; i < 2; ++i) {
        runs.Run([&] { ++nestedCalls; });
      }
    }
  });
  EXPECT_EQ(bodies, 2);
  EXPECT_EQ(nestedCalls, 0);
  EXPECT_FALSE(runs.InProgress());

  runs.Run([&] { ++bodies; });  // ended runs leave nothing behind
  EXPECT_EQ(bodies, 3);
}

TEST(OneRunAtATime, ARequestFromAnotherThreadNeitherWaitsNorRunsBeside) {
  OneRunAtATime runs;
  std::atomic<int> bodies{0};
  std::atomic<bool> otherReturned{false};
  runs.Run([&] {
    if (++bodies == 1) {
      std::thread other([&] {
        runs.Run([&] { ++bodies; });
        otherReturned = true;
      });
      other.join();  // returns while this run still holds it
      EXPECT_TRUE(otherReturned);
      EXPECT_EQ(bodies, 1);
    }
  });
  EXPECT_EQ(bodies, 2);
}

}  // namespace
