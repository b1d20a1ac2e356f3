// bench/plans_bench.cpp -- score-only plan evaluations, and the time to an accepted pattern.
#include <benchmark/benchmark.h>

#include <QEventLoop>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/shared_state.h"
#include "bench/offscreen_window.h"
#include "plans/plan_eval.h"
#include "plans/plan_store.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"
#include "platform/profile.h"
#include "tests/support/recording_view.h"

namespace {

// 120 draws of pseudo-random digits, newest period 120 of the day, the same every run.
DrawHistory FixedHistory() {
  DrawHistory history;
  std::uint32_t state = 2024;
  for (int i = 0; i < 120; ++i) {
    int period = 120 - i;
    history.periodIds.push_back("20261211" + std::to_string(1000 + period).substr(1));
    std::string number;
    for (int d = 0; d < 5; ++d) {
      state = state * 1103515245u + 12345u;
      number += static_cast<char>('0' + (state >> 16) % 10);
    }
    history.drawNumbers.push_back(number);
  }
  return history;
}

// A 50-symbol 大小 pattern, as generation makes them.
std::string SomePattern() {
  std::string pattern;
  for (int i = 0; i < 50; ++i) pattern += Gbk(i % 3 ? "大" : "小");
  return pattern;
}

// The settings file lives in a folder of the benchmark's own.
const std::string& SettingsFolderForBench() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "plans-bench-XXXXXX");
    return std::string(::mkdtemp(pattern.data()));
  }();
  return folder;
}

void ScoreOnlyEvaluations(benchmark::State& state) {
  StoreDrawHistory(FixedHistory());
  const std::string pattern = SomePattern();
  for (auto _ : state) benchmark::DoNotOptimize(EvaluatePlan(pattern, false, 5, 1));
  state.counters["evaluations/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ScoreOnlyEvaluation_RecordingView(benchmark::State& state) {
  RecordingView view;
  SetMainView(&view);
  ScoreOnlyEvaluations(state);
  SetMainView(&BenchWindow().WindowView());
}
// The recording view keeps a line per call, so the run is kept to a fixed length.
BENCHMARK(BM_ScoreOnlyEvaluation_RecordingView)->Iterations(200000)->Unit(benchmark::kMicrosecond);

// On the window's thread, as a click runs it, with the real window offscreen.
void BM_ScoreOnlyEvaluation_Window(benchmark::State& state) {
  SetMainView(&BenchWindow().WindowView());
  ScoreOnlyEvaluations(state);
}
BENCHMARK(BM_ScoreOnlyEvaluation_Window)->Unit(benchmark::kMicrosecond);

// One generation from an empty store to a stored and shown pattern, on the window's thread
// with the real window offscreen and the real uptime counter; the median of the
// repetitions is the figure.
void BM_TimeToAcceptedPattern_Window(benchmark::State& state) {
  SetMainView(&BenchWindow().WindowView());
  std::string folder = SettingsFolderForBench();
  SetSettingsFolderForTest([folder] { return folder; });
  StoreDrawHistory(FixedHistory());
  const std::string& key = Gbk("个位正则大小");
  // Counts the tries; the events still run as they do without the hook.
  int tries = 0;
  SetEventWaitHooksForTest({[&tries] {
                              ++tries;
                              QCoreApplication::processEvents(QEventLoop::AllEvents);
                            },
                            nullptr});
  for (auto _ : state) {
    state.PauseTiming();
    WriteProfileString(PlanStorePath(), PlanSection(), key, "");
    state.ResumeTiming();
    RunPlan(key, 5, 1);
  }
  SetEventWaitHooksForTest({});
  state.counters["tries"] = tries;
  // 1 when the generation reached its limit of tries and stored nothing.
  state.counters["gave_up"] = ReadProfileString(PlanStorePath(), PlanSection(), key).empty();
}
BENCHMARK(BM_TimeToAcceptedPattern_Window)
    ->Iterations(1)
    ->Repetitions(200)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  int status = RunBenchmarksOffscreen(argc, argv);
  SetSettingsFolderForTest(nullptr);
  std::filesystem::remove_all(SettingsFolderForBench());
  return status;
}
