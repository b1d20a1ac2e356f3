// platform/clock.h -- the millisecond tick counter (and, later, the lottery's wall time).
#pragma once

#include <cstdint>
#include <functional>

// Milliseconds since an arbitrary start, monotonic, as a 32-bit count that wraps.
std::uint32_t TickCount();

// Test seam: replaces the counter (an empty function restores the real one).
void SetTickCountForTest(std::function<std::uint32_t()> counter);
