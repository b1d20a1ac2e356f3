// draws/refresh.h -- fetching the draw results and storing the draw history.
#pragma once

// Brings the draw results up to date; runs to completion on the calling thread.
void RefreshCycle();
