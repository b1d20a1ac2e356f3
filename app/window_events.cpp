// app/window_events.cpp -- the window-created sequence and the resize rule.
#include "app/window_events.h"

#include <cstdio>
#include <thread>

#include "app/main_view.h"
#include "app/shared_state.h"
#include "assets/assets.h"
#include "base/seam.h"
#include "draws/refresh.h"
#include "plans/plan_buttons.h"
#include "platform/event_wait.h"
#include "schedule/clock_sync.h"

namespace {

Seam<std::function<void()>> startupRefreshSeam;

// Starts RefreshCycle on a detached worker: nothing keeps a handle to it or waits for it.
void StartStartupRefresh() {
  if (auto seam = startupRefreshSeam.Get()) {
    seam();
    return;
  }
  std::thread(RefreshCycle).detach();
}

DigitImages LoadStoredDigitImages() {
  DigitImages images;
  for (int d = 0; d <= 9; ++d) {
    char name[16];
    std::snprintf(name, sizeof name, "digit%d.png", d);
    images[static_cast<std::size_t>(d)] = LoadAsset(name);
  }
  return images;
}

}  // namespace

void OnWindowCreated() {
  MainView& view = View();
  view.ShowMainWindow();
  for (Control button : kPlanButtonLockOrder) view.SetButtonEnabled(button, false);

  // The template still shows its own picture, the plate: the first object is the plate.
  plateObjectId = view.CreateBoxObject(0, 0, true);
  view.SetBoxObjectVisible(plateObjectId, true);

  StoreDigitImages(LoadStoredDigitImages());
  dataReady = false;

  SyncClockFromWeb();  // reports a refused setting itself; start-up goes on either way

  // Timer ticks that fall into this wait are handled, and may run a refresh of their own.
  WaitLettingEventsRun(1000);

  StartStartupRefresh();
}

void OnWindowResized() {
  MainView& view = View();
  ControlSize window = view.GetControlSize(Control::主窗口);
  view.SetControlSize(Control::选择夹1, window.width - 10, std::nullopt);
  view.SetControlSize(Control::选择夹1, std::nullopt, window.height - 50);
  ControlSize tabs = view.GetControlSize(Control::选择夹1);
  view.SetControlSize(Control::超级列表框1, tabs.width - 10, tabs.height - 50);
}

void SetStartupRefreshForTest(std::function<void()> start) {
  startupRefreshSeam.Set(std::move(start));
}
