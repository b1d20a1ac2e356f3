// app/window_events.h -- handlers of the main window's own events.
#pragma once

// Runs once on the window's thread when the window has been created.
void OnWindowCreated();

// The resize rule: runs once right after OnWindowCreated and at every later size change.
void OnWindowResized();
