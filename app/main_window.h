// app/main_window.h -- the main window: its controls and the Qt side of MainView.
#pragma once

#include <QWidget>

class MainWindow : public QWidget {
 public:
  MainWindow();
  ~MainWindow() override;
  // Builds the controls, installs the view and runs the creation handlers.
  void Create();
};
