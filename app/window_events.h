// app/window_events.h -- handlers of the main window's own events.
#pragma once

#include <functional>

// Runs once on the window's thread when the window has been created.
void OnWindowCreated();

// The resize rule: runs once right after OnWindowCreated and at every later size change.
void OnWindowResized();

// Test seam: replaces the start of the first refresh on its worker thread (an empty
// function restores the real one).
void SetStartupRefreshForTest(std::function<void()> start);
