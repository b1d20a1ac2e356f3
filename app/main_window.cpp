// app/main_window.cpp -- placeholder window until the full window lands.
#include "app/main_window.h"

#include "app/window_events.h"

MainWindow::MainWindow() { setWindowTitle("Tallyrune"); }
MainWindow::~MainWindow() = default;

void MainWindow::Create() {
  OnWindowCreated();
  OnWindowResized();
  show();
}
