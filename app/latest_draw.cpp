// app/latest_draw.cpp -- placeholder until the latest-draw display lands.
#include "app/latest_draw.h"

void ShowLatestDraw() {}
void PlaceDigits(int, int, int, int, int) {}
