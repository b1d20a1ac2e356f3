// tools/drawd/lottery.h -- the lottery's schedule, its draws and the results page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace drawd {

// Wall time in the lottery's zone (UTC+8) as seconds since 1970-01-01 00:00:00 of that
// zone's calendar: plain arithmetic, no time-zone rules.
using LotteryTime = std::int64_t;

// Parses "YYYY-MM-DD HH:MM:SS"; nothing when malformed or out of range.
std::optional<LotteryTime> ParseLotteryTime(const std::string& text);

// The current lottery wall time, from the system clock (UTC) plus eight hours.
LotteryTime LotteryNow();

// The HTTP Date header value ("Tue, 05 Mar 2024 02:20:45 GMT") of a lottery wall time.
std::string HttpDate(LotteryTime time);

struct Draw {
  std::string periodId;  // yyyymmdd of the draw's date and the period of that day, 001-120
  std::string time;      // "HH:MM", the draw time
  std::string number;    // five decimal digits
};

// The newest count draws that have appeared by now, newest first. A calendar day has 120
// draws: every 5 minutes 00:00-01:55 (periods 001-024), every 10 minutes 10:00-21:50
// (025-096) and every 5 minutes 22:00-23:55 (097-120); each appears 30 seconds after its
// draw time. The number of a period is pseudo-random but always the same.
std::vector<Draw> NewestDraws(LotteryTime now, int count);

// The five digits drawn in a period, e.g. for "20240305027".
std::string DrawNumber(const std::string& periodId);

// A complete HTML page listing the draws in the given order, one table row each.
std::string ResultsPage(const std::vector<Draw>& draws);

}  // namespace drawd
