// app/window_events.cpp -- the window-created sequence and the resize rule.
#include "app/window_events.h"

#include "app/main_view.h"

void OnWindowCreated() { View().ShowMainWindow(); }

void OnWindowResized() {
  MainView& view = View();
  ControlSize window = view.GetControlSize(Control::主窗口);
  view.SetControlSize(Control::选择夹1, window.width - 10, std::nullopt);
  view.SetControlSize(Control::选择夹1, std::nullopt, window.height - 50);
  ControlSize tabs = view.GetControlSize(Control::选择夹1);
  view.SetControlSize(Control::超级列表框1, tabs.width - 10, tabs.height - 50);
}
