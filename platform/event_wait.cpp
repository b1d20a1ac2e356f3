// platform/event_wait.cpp -- event waits on Qt's event dispatcher.
#include "platform/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "base/seam.h"

namespace {

Seam<EventWaitHooks> hooks;

bool OnEventThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

}  // namespace

void LetEventsRun() {
  if (auto h = hooks.Get(); h.letEventsRun) {
    h.letEventsRun();
    return;
  }
  if (OnEventThread()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitLettingEventsRun(int milliseconds) {
  if (auto h = hooks.Get(); h.waitLettingEventsRun) {
    h.waitLettingEventsRun(milliseconds);
    return;
  }
  if (!OnEventThread()) {
    QThread::msleep(static_cast<unsigned long>(milliseconds > 0 ? milliseconds : 0));
    return;
  }
  // A nested loop sleeps in the dispatcher between events and ends with a precise timer.
  QEventLoop loop;
  QTimer::singleShot(milliseconds > 0 ? milliseconds : 0, Qt::PreciseTimer, &loop,
                     &QEventLoop::quit);
  loop.exec();
}

void SetEventWaitHooksForTest(EventWaitHooks replacement) {
  hooks.Set(std::move(replacement));
}
