// bench/offscreen_window.h -- the offscreen application and window the window benchmarks share.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

#include "app/main_window.h"

// The real window, built once for the whole run with no handlers of its own (no network,
// no settings file), created and shown offscreen.
inline MainWindow& BenchWindow() {
  static MainWindow* window = [] {
    auto* made = new MainWindow(WindowHandlers{});
    made->Create();
    made->show();
    return made;
  }();
  return *window;
}

// Runs the registered benchmarks inside an offscreen QApplication.
inline int RunBenchmarksOffscreen(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int appArgc = 1;
  char* appArgv[] = {argv[0], nullptr};
  QApplication app(appArgc, appArgv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
