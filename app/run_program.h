// app/run_program.h -- the program's entry: shared state, main window, event loop.
#pragma once

// Creates the shared state and the main window, runs the event loop until the window is
// closed and returns 0. Reads nothing from the command line or the environment.
int RunProgram();
