// tests/app/window_test_support.h -- building a main window for tests, and pumping its events.
#pragma once

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <functional>
#include <memory>
#include <vector>

#include "app/main_view.h"
#include "app/main_window.h"
#include "app/window_events.h"
#include "base/text.h"

// Runs window events until condition holds; false when it did not within the time limit.
inline bool PumpUntil(const std::function<bool()>& condition, int limitMilliseconds = 5000) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (!condition()) {
    if (elapsed.elapsed() > limitMilliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// What the window's buttons and timer did.
struct HandlerCalls {
  std::vector<int> planKinds;
  int clearPlans = 0;
  int ticks = 0;
};

// A window whose creation shows it and whose size changes run the real resize rule; the
// timer, the plan buttons and 按钮3 only count.
inline std::unique_ptr<MainWindow> MakeTestWindow(HandlerCalls& calls) {
  WindowHandlers handlers;
  handlers.created = [] { View().ShowMainWindow(); };
  handlers.resized = OnWindowResized;
  handlers.timerTick = [&calls] { ++calls.ticks; };
  handlers.planButton = [&calls](int kind) { calls.planKinds.push_back(kind); };
  handlers.clearPlans = [&calls] { ++calls.clearPlans; };
  return std::make_unique<MainWindow>(std::move(handlers));
}

// A small picture as PNG bytes.
inline Bytes PngOf(const QImage& image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return Bytes(data.constData(), static_cast<std::size_t>(data.size()));
}

// A picture of one colour, fully opaque unless given an alpha.
inline QImage Filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}
