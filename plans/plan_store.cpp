// plans/plan_store.cpp -- placeholder until the plan store lands.
#include "plans/plan_store.h"

void OnClearPlansClick() {}
