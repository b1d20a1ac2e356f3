// plans/plan_buttons.cpp -- placeholder until the plan buttons land.
#include "plans/plan_buttons.h"

void OnPlanButtonClick(int) {}
void RunCurrentPlan() {}
bool PlanRunInProgress() { return false; }
