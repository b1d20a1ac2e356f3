// app/shared_state.h -- the program-wide state: draw history, flags, tiles and plate.
//
// These are the only program-wide variables. Each says who writes it and on which thread.
// Threads: the window's thread (W), the start-up refresh thread (R), the latest-draw
// display threads (D).
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"

// The draw history: newest draw first. After a refresh whose ids and numbers paired, both
// arrays have the same length and element i of each describes the same draw; otherwise
// drawNumbers holds one empty text per number match.
struct DrawHistory {
  std::vector<std::string> periodIds;    // period identifiers, 1 to 11 bytes each
  std::vector<std::string> drawNumbers;  // five digit characters each, or empty texts
};

// The current history as one immutable snapshot. A reader keeps the snapshot it took for
// as long as it needs it; a refresh replacing the history never changes it underneath.
// Written by RefreshCycle (W or R); read by the display (D) and plan evaluation (W or R).
std::shared_ptr<const DrawHistory> LoadDrawHistory();
void StoreDrawHistory(DrawHistory history);

// True once a refresh has stored DrawHistory; never set back but by OnWindowCreated.
// Written by OnWindowCreated (W) and RefreshCycle (W or R); polled by the display (D).
extern std::atomic<bool> dataReady;

// The plan chosen last (1-10), 0 before any. Written by the plan buttons (W, or R through
// RunCurrentPlan); read by RunCurrentPlan (W or R).
extern std::atomic<int> currentPlanKind;

// The ten tile pictures (PNG bytes), slot d for numeral d. Filled once by OnWindowCreated
// (W) before any display thread exists; read by the display (D) through its own snapshot.
using DigitImages = std::array<Bytes, 10>;
std::shared_ptr<const DigitImages> LoadDigitImages();
void StoreDigitImages(DigitImages images);

// The plate object placed by OnWindowCreated (W), once; not read afterwards.
extern int plateObjectId;

// The five tile objects now in 动画框1, one per digit position (index 0 is 万位); 0 when
// none. Belongs to the display threads (D), one PlaceDigits at a time.
extern std::array<int, 5> digitObjectIds;

// Creates the arrays empty and sets every flag and identifier to its initial value.
void InitSharedState();

// Releases the history and the tile pictures. Runs once at program end; later calls do
// nothing. A thread still running keeps the snapshots it holds.
void ReleaseSharedState();
