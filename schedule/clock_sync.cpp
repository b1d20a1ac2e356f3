// schedule/clock_sync.cpp -- placeholder until clock synchronisation lands.
#include "schedule/clock_sync.h"

bool SyncClockFromWeb() { return false; }
