// schedule/timer.cpp -- placeholder until the schedule lands.
#include "schedule/timer.h"

void OnTimerTick() {}
