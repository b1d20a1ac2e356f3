// plans/plan_buttons.cpp -- plan runs with the busy label and locked buttons, one at a time.
#include "plans/plan_buttons.h"

#include <mutex>

#include "app/main_view.h"
#include "app/shared_state.h"
#include "plans/plan_store.h"
#include "platform/codepage.h"

namespace {

// One plan run at a time. A request during a run (a refresh started by a timer tick while
// generation lets events run, or a refresh thread finishing meanwhile) only sets
// rerunRequested; the thread of the running plan then runs currentPlanKind once more.
// Held only to read and change these two flags, never around view calls or the run.
std::mutex runMutex;
bool running = false;
bool rerunRequested = false;

// True when the caller now owns the run; otherwise the request has been remembered.
bool BeginRun() {
  std::lock_guard<std::mutex> lock(runMutex);
  if (running) {
    rerunRequested = true;
    return false;
  }
  running = true;
  return true;
}

// True when a request arrived during the run: the caller keeps the run and goes again.
bool EndRunOrTakeRerun() {
  std::lock_guard<std::mutex> lock(runMutex);
  if (rerunRequested) {
    rerunRequested = false;
    return true;
  }
  running = false;
  return false;
}

void SetPlanButtonsEnabled(bool enabled) {
  for (Control button : kPlanButtonLockOrder) View().SetButtonEnabled(button, enabled);
}

void RunPlanWithBusyDisplay(const PlanKind& row) {
  SetPlanButtonsEnabled(false);
  View().SetLabelVisible(Control::透明标签2, true);
  RunPlan(Gbk(row.key), row.position, row.attribute);
  View().SetLabelVisible(Control::透明标签2, false);
  SetPlanButtonsEnabled(true);
}

}  // namespace

void OnPlanButtonClick(int kind) {
  const PlanKind* row = FindPlanKind(kind);
  if (!row) return;
  currentPlanKind = kind;
  if (!BeginRun()) return;
  for (;;) {
    RunPlanWithBusyDisplay(*row);
    if (!EndRunOrTakeRerun()) break;
    // Asked again during the run: go once more with the plan chosen last.
    if (const PlanKind* latest = FindPlanKind(currentPlanKind)) row = latest;
  }
}

void RunCurrentPlan() {
  int kind = currentPlanKind;
  if (FindPlanKind(kind)) OnPlanButtonClick(kind);
}

bool PlanRunInProgress() {
  std::lock_guard<std::mutex> lock(runMutex);
  return running;
}
