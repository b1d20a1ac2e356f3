// bench/schedule_bench.cpp -- the cost of one timer tick without its refresh or chime.
#include <benchmark/benchmark.h>

#include "app/main_view.h"
#include "schedule/timer.h"
#include "tests/support/sched_fakes.h"

namespace {

// Ticks through ordinary seconds (label update only) of a day-time minute, with a view
// that does nothing so that the figure is the timer's own work.
void BM_TimerTickCountdownOnly(benchmark::State& state) {
  ScheduleFakes fakes;
  SetMainView(nullptr);
  const DateTime minute = At(2024, 12, 10, 10, 2, 0);
  int second = 4;
  for (auto _ : state) {
    fakes.SetNow(AddSeconds(minute, second));
    OnTimerTick();
    second = second == 29 ? 4 : second + 1;
  }
}
BENCHMARK(BM_TimerTickCountdownOnly);

}  // namespace

BENCHMARK_MAIN();
