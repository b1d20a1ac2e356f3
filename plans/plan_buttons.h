// plans/plan_buttons.h -- the ten plan buttons and the re-run of the chosen plan.
#pragma once

// Click handler of the plan button of kind 1-10.
void OnPlanButtonClick(int kind);

// Runs the click handler of currentPlanKind, or nothing when no plan was chosen.
void RunCurrentPlan();

// True while a plan run is in progress on any thread.
bool PlanRunInProgress();
