// plans/plan_store.h -- the stored plan patterns and their generation.
#pragma once

#include <cstdint>
#include <string>

// Symbols in a generated pattern.
inline constexpr int kPatternSymbols = 50;

// The highest score a generated pattern may have to be accepted.
inline constexpr int kAcceptedScore = 3;

// Tries after which generation gives up, so that a history no pattern can fit (50 newest
// ids sharing one period number) does not keep the run going for ever. Independent random
// symbols would be accepted after about a hundred tries; the reseeded draws are strongly
// correlated, so a typical history needs tens of thousands (median about 45,000, and 4 % of
// generations need more than 200,000). Ten times that mean still ends a hopeless search
// within about half a minute, with window events running all along.
inline constexpr int kMaxGenerationTries = 2000000;

// The settings file: "syst.tb" in the per-user settings folder, or the bare file name when
// there is no such folder. Built afresh for every read and write.
std::string PlanStorePath();

// The section of the settings file that holds the ten patterns, "计划".
const std::string& PlanSection();

// Shows the plan of key (one of the ten keys) for position (1 万位 .. 5 个位) and attribute
// (1 大小, 0 单双) in the plan table. A stored pattern is shown as it is; otherwise random
// patterns are tried until one scores kAcceptedScore or less, which is stored and shown.
// Window events run after every try. Generation stops without storing or showing anything
// when the history is missing (the evaluation has said so once) or after
// kMaxGenerationTries tries.
void RunPlan(const std::string& key, int position, int attribute);

// One random draw from 1 to 20: the generator is reseeded with the uptime counter plus an
// internal counter, which then grows by 100 + (seed mod 256), so that draws within one
// millisecond still differ. Safe from any thread.
int RandomDraw();

// Test seam: the number of tries before generation gives up (0 restores
// kMaxGenerationTries).
void SetGenerationTryLimitForTest(int tries);

// Test seam: the internal counter of RandomDraw (0 at program start).
void SetDrawCounterForTest(std::uint32_t value);
std::uint32_t DrawCounterForTest();

// Click handler of 按钮3: writes the ten keys empty and does nothing else.
void OnClearPlansClick();
