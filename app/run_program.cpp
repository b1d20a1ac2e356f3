// app/run_program.cpp -- start-up, the event loop and program end.
#include "app/run_program.h"

#include <QApplication>

#include <cstdlib>

#include "app/main_window.h"
#include "app/shared_state.h"

int RunProgram() {
  InitSharedState();
  // Runs once when the process ends (main ends through quick_exit).
  std::at_quick_exit(ReleaseSharedState);

  static int argc = 1;
  static char name[] = "tallyrune";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  {
    MainWindow window;
    window.Create();  // runs OnWindowCreated, then OnWindowResized
    app.exec();
  }
  return 0;
}
