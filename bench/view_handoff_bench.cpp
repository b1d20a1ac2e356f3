// bench/view_handoff_bench.cpp -- filling the three history tables from a worker thread.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "bench/offscreen_window.h"

namespace {

constexpr int kRows = 120;

// What one refresh does to the tables: about 3,000 operations.
void FillTables(MainView& view) {
  struct Table {
    Control list;
    int cells;
  } tables[] = {{Control::超级列表框1, 9}, {Control::超级列表框2, 6}, {Control::超级列表框3, 6}};
  for (const Table& table : tables) {
    view.ListClear(table.list);
    for (int row = 0; row < kRows; ++row) {
      int at = view.ListInsertRow(table.list, -1, "20261211" + std::to_string(100 + row));
      for (int column = 1; column <= table.cells; ++column) {
        view.ListSetCell(table.list, at, column, std::to_string((row + column) % 10));
      }
    }
  }
}

// From the worker's first call until the window's thread has applied the last one.
void BM_FillTablesFromWorker(benchmark::State& state) {
  HandOffView& view = BenchWindow().WindowView();
  for (auto _ : state) {
    std::atomic<bool> done{false};
    auto start = std::chrono::steady_clock::now();
    std::thread worker([&] {
      FillTables(view);
      done = true;
    });
    while (!done || view.QueuedCount() > 0) QCoreApplication::processEvents();
    auto end = std::chrono::steady_clock::now();
    worker.join();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
}
BENCHMARK(BM_FillTablesFromWorker)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same fill run by the window's own thread (a refresh started by the timer).
void BM_FillTablesOnWindowThread(benchmark::State& state) {
  HandOffView& view = BenchWindow().WindowView();
  for (auto _ : state) FillTables(view);
}
BENCHMARK(BM_FillTablesOnWindowThread)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksOffscreen(argc, argv);
}
