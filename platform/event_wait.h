// platform/event_wait.h -- letting the calling thread's pending window events run.
#pragma once

#include <functional>

// Runs the window events that are pending now (input, repaint, timer ticks), then returns.
// On a thread without an event loop it does nothing.
void LetEventsRun();

// Waits the given milliseconds while letting window events run on the calling thread.
void WaitLettingEventsRun(int milliseconds);

// Test seam: replaces both operations (a null function restores the real one).
struct EventWaitHooks {
  std::function<void()> letEventsRun;
  std::function<void(int)> waitLettingEventsRun;
};
void SetEventWaitHooksForTest(EventWaitHooks hooks);
