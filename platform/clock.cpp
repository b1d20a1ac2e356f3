// platform/clock.cpp -- the tick counter on the monotonic clock.
#include "platform/clock.h"

#include <time.h>

#include <mutex>

namespace {
std::mutex seamMutex;
std::function<std::uint32_t()> tickSeam;
}  // namespace

std::uint32_t TickCount() {
  {
    std::lock_guard<std::mutex> lock(seamMutex);
    if (tickSeam) return tickSeam();
  }
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
            static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);  // wraps like the platform counter
}

void SetTickCountForTest(std::function<std::uint32_t()> counter) {
  std::lock_guard<std::mutex> lock(seamMutex);
  tickSeam = std::move(counter);
}
