// bench/draws_bench.cpp -- one refresh from the bundled server into the window offscreen,
// on the window's thread and on a worker, and the extraction alone on a 10 MiB page.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/shared_state.h"
#include "bench/offscreen_window.h"
#include "build_config.h"
#include "draws/extraction.h"
#include "draws/refresh.h"
#include "net/web_fetcher.h"
#include "tests/support/draws_drawd.h"
#include "tests/support/draws_pages.h"

namespace {

constexpr std::size_t kPageBytes = std::size_t{10} << 20;

// One drawd per row count, kept for the whole run, and the refresh pointed at it. The
// display is not started: it runs on a thread of its own and is no part of the refresh.
void PointRefreshAt(int rows) {
  static std::map<int, std::unique_ptr<DrawdProcess>> servers;
  auto& server = servers[rows];
  if (!server) {
    server = std::make_unique<DrawdProcess>(
        std::vector<std::string>{"--now", "2024-03-05 10:20:45", "--rows", std::to_string(rows)});
  }
  const std::string base = server->BaseUrl();
  SetPageFetcherForTest([base](const std::string& url) {
    return FetchPageText(base + url.substr(std::string(build_config::kDrawsBaseUrl).size()));
  });
  SetDisplayStarterForTest([] {});
  BenchWindow();
}

bool CheckHistory(benchmark::State& state, int rows) {
  if (LoadDrawHistory()->drawNumbers.size() == static_cast<std::size_t>(rows)) return true;
  state.SkipWithError("the refresh did not store every draw");
  return false;
}

void BM_RefreshOnWindowThread(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  PointRefreshAt(rows);
  for (auto _ : state) RefreshCycle();
  CheckHistory(state, rows);
}
BENCHMARK(BM_RefreshOnWindowThread)
    ->Arg(120)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// From the worker's start until the window's thread has applied the last operation.
void BM_RefreshFromWorker(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  PointRefreshAt(rows);
  HandOffView& view = BenchWindow().WindowView();
  for (auto _ : state) {
    std::atomic<bool> done{false};
    auto start = std::chrono::steady_clock::now();
    std::thread worker([&] {
      RefreshCycle();
      done = true;
    });
    while (!done || view.QueuedCount() > 0) QCoreApplication::processEvents();
    auto end = std::chrono::steady_clock::now();
    worker.join();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  CheckHistory(state, rows);
}
BENCHMARK(BM_RefreshFromWorker)
    ->Arg(120)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// Separator removal, ids and number matches of one page, as the refresh does them.
void Extract(benchmark::State& state, const std::string& page) {
  for (auto _ : state) {
    const std::string cleaned = RemoveDigitSeparators(page);
    benchmark::DoNotOptimize(ExtractPeriodIds(cleaned));
    benchmark::DoNotOptimize(FindNumberMatches(cleaned));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

std::string Repeated(const std::string& piece) {
  std::string text;
  text.reserve(kPageBytes + piece.size());
  while (text.size() < kPageBytes) text += piece;
  return text;
}

void BM_Extract10MiBOfRows(benchmark::State& state) {
  // About 48,000 rows in the endpoint's shape.
  static const std::string page = DrawsSyntheticPage(48000);
  Extract(state, page);
}
BENCHMARK(BM_Extract10MiBOfRows)->Unit(benchmark::kMillisecond);

// Pages built to make a naive search slow: near-misses of every pattern at every byte.
void BM_Extract10MiBOfNearMisses(benchmark::State& state) {
  static const std::string page =
      Repeated(">1234>12345>123456<</td><td class='redbal center'><td center'><td>");
  Extract(state, page);
}
BENCHMARK(BM_Extract10MiBOfNearMisses)->Unit(benchmark::kMillisecond);

void BM_Extract10MiBOfLeftMarkersOnly(benchmark::State& state) {
  static const std::string page = Repeated("center'><td>");
  Extract(state, page);
}
BENCHMARK(BM_Extract10MiBOfLeftMarkersOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitSharedState();
  return RunBenchmarksOffscreen(argc, argv);
}
