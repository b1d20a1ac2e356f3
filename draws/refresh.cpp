// draws/refresh.cpp -- placeholder until the refresh lands.
#include "draws/refresh.h"

void RefreshCycle() {}
