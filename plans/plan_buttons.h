// plans/plan_buttons.h -- the ten plan buttons and the re-run of the chosen plan.
#pragma once

#include "plans/plan_kinds.h"

// Click handler of the plan button of kind 1-10: records the kind as currentPlanKind, locks
// the ten plan buttons, shows 透明标签2, runs the plan, hides the label and unlocks the
// buttons. A click or RunCurrentPlan that arrives while a run is in progress (through the
// window events that generation lets run, or from another thread) does not nest: it is
// remembered, and the plan of currentPlanKind runs once more when the running one ends.
void OnPlanButtonClick(int kind);

// Runs the click handler of currentPlanKind, or nothing when no plan was chosen.
void RunCurrentPlan();

// True while a plan run is in progress on any thread.
bool PlanRunInProgress();

// The order in which a run disables and then enables the ten plan buttons.
inline constexpr std::array<Control, 10> kPlanButtonLockOrder = {
    Control::按钮_个位大小, Control::按钮_十位大小, Control::按钮_个位单双, Control::按钮_十位单双,
    Control::按钮_百位大小, Control::按钮_百位单双, Control::按钮_千位大小, Control::按钮_千位单双,
    Control::按钮_万位大小, Control::按钮_万位单双,
};
