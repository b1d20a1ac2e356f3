// plans/plan_store.h -- the stored plan patterns and their generation.
#pragma once

// Click handler of 按钮3: clears the ten stored plans.
void OnClearPlansClick();
