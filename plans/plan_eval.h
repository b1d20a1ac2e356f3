// plans/plan_eval.h -- scoring a plan's pattern against the 50 newest draws, and the plan table.
#pragma once

#include <string>
#include <vector>

// How many of the newest draws an evaluation reads.
inline constexpr int kEvaluatedDraws = 50;

// The score an evaluation gives when it cannot place the plan (too few hits, or no data).
inline constexpr int kFailingScore = 5;

// The characters of the pattern's half-width form: one byte below 0x80, otherwise two bytes
// (a lead byte at the very end stands alone).
std::vector<std::string> SplitSymbols(const std::string& text);

// The period number of a period identifier: its last three characters, in half-width form,
// read as decimal digits after leading white space (a sign is not read), so 0 to 999.
int PeriodNumber(const std::string& periodId);

// Walks the 50 newest draws of one DrawHistory snapshot from the oldest to the newest and
// compares the pattern's symbol for each period with the draw's actual symbol at position
// (1 万位 .. 5 个位) for attribute (1 大小, 0 单双). Empties 超级列表框4, appends one row per
// hit when display is true, and always appends the prediction row for the next period.
// Returns the longest stretch of draws needed to reach a hit when at least 31 draws were
// hits, otherwise 5 (lower is better).
// When the history does not hold 50 paired draws it shows the no-data message, leaves the
// table as it was and returns 5; dataMissing, when given, is then set true (else false).
int EvaluatePlan(const std::string& pattern, bool display, int position, int attribute,
                 bool* dataMissing = nullptr);
