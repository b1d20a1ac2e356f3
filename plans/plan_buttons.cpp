// plans/plan_buttons.cpp -- plan runs with the busy label and locked buttons, one at a time.
#include "plans/plan_buttons.h"

#include "app/main_view.h"
#include "app/shared_state.h"
#include "base/one_run.h"
#include "plans/plan_store.h"
#include "platform/codepage.h"

namespace {

// One plan run at a time. A request during a run (a refresh started by a timer tick while
// generation lets events run, or a refresh thread finishing meanwhile) is remembered, and
// the thread of the running plan then runs currentPlanKind once more.
OneRunAtATime planRuns;

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
  planRuns.Run([&row] {
    RunPlanWithBusyDisplay(*row);
    // Asked again during the run: the next run is of the plan chosen last.
    if (const PlanKind* latest = FindPlanKind(currentPlanKind)) row = latest;
  });
}

void RunCurrentPlan() {
  int kind = currentPlanKind;
  if (FindPlanKind(kind)) OnPlanButtonClick(kind);
}

bool PlanRunInProgress() {
  return planRuns.InProgress();
}
