// app/run_program.cpp -- start-up, the event loop and program end.
#include "app/run_program.h"

#include <QApplication>
#include <QByteArray>

#include <unistd.h>

#include <cstdlib>

#include "app/main_window.h"
#include "app/shared_state.h"

namespace {

// The embedded web view needs its settings before the application object exists: shared
// GL contexts, and no sandbox when running as root, where it refuses to start otherwise.
void PrepareWebView() {
#ifdef TALLYRUNE_HAVE_WEBENGINE
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
#endif
}

}  // namespace

int RunProgram() {
  InitSharedState();
  // Runs once when the process ends (main ends through quick_exit).
  std::at_quick_exit(ReleaseSharedState);

  PrepareWebView();
  static int argc = 1;
  static char name[] = "tallyrune";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  // The main window alone decides when the program ends, not a message box left open.
  app.setQuitOnLastWindowClosed(false);
  {
    MainWindow window;
    window.SetOnClosed([] { QCoreApplication::quit(); });
    window.Create();  // runs OnWindowCreated, then OnWindowResized
    // A window closed during its creation sequence has already asked to quit, before there
    // was an event loop to end.
    if (!window.IsClosed()) app.exec();
  }  // the window's view is inert by now; worker threads that still call it get nothing
  return 0;
}
