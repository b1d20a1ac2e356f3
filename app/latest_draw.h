// app/latest_draw.h -- the newest draw as five flip-clock tiles on the plate.
#pragma once

// Rolls the tiles while dataReady is false, then shows the newest draw or the no-data
// message. Runs on a thread of its own, started by every refresh.
void ShowLatestDraw();

// Puts the tiles of the digits d1 (万位) to d5 (个位), each 0-9, on the plate.
void PlaceDigits(int d1, int d2, int d3, int d4, int d5);
