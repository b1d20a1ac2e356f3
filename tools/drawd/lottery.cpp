// tools/drawd/lottery.cpp -- schedule arithmetic, period numbers and the page's rows.
#include "tools/drawd/lottery.h"

#include <chrono>
#include <cstdio>

namespace drawd {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kDrawsPerDay = 120;
constexpr int kAppearDelaySeconds = 30;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Minute of the day of period p (1-120).
int DrawMinute(int period) {
  if (period <= 24) return (period - 1) * 5;          // 00:00-01:55
  if (period <= 96) return 600 + (period - 25) * 10;  // 10:00-21:50
  return 1320 + (period - 97) * 5;                    // 22:00-23:55
}

std::string PeriodId(std::int64_t day, int period) {
  CivilDate date = CivilFromDays(day);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld%02u%02u%03d", static_cast<long long>(date.year),
                date.month, date.day, period);
  return text;
}

std::uint64_t SplitMix64(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

std::optional<LotteryTime> ParseLotteryTime(const std::string& text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                  &second, &tail) != 6) {
    return std::nullopt;
  }
  if (year < 1970 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 ||
      second > 59 || hour < 0 || minute < 0 || second < 0) {
    return std::nullopt;
  }
  std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  // A day past the month's end would silently roll over; refuse it instead.
  CivilDate check = CivilFromDays(days);
  if (check.month != static_cast<unsigned>(month)) return std::nullopt;
  return days * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

LotteryTime LotteryNow() {
  auto utc = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return utc.count() + 8 * 3600;
}

std::string HttpDate(LotteryTime time) {
  static const char* const kWeekdays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const LotteryTime utc = time - 8 * 3600;
  const std::int64_t day = FloorDiv(utc, kSecondsPerDay);
  const std::int64_t secondOfDay = utc - day * kSecondsPerDay;
  const CivilDate date = CivilFromDays(day);
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02u %s %04lld %02lld:%02lld:%02lld GMT",
                kWeekdays[((day % 7) + 7) % 7], date.day, kMonths[date.month - 1],
                static_cast<long long>(date.year), static_cast<long long>(secondOfDay / 3600),
                static_cast<long long>(secondOfDay / 60 % 60),
                static_cast<long long>(secondOfDay % 60));
  return text;
}

std::string DrawNumber(const std::string& periodId) {
  std::uint64_t seed = 0;
  for (char c : periodId) seed = seed * 131 + static_cast<unsigned char>(c);
  char text[8];
  std::snprintf(text, sizeof text, "%05u", static_cast<unsigned>(SplitMix64(seed) % 100000));
  return text;
}

std::vector<Draw> NewestDraws(LotteryTime now, int count) {
  std::vector<Draw> draws;
  if (count <= 0) return draws;
  draws.reserve(static_cast<std::size_t>(count));
  for (std::int64_t day = FloorDiv(now, kSecondsPerDay);; --day) {
    for (int period = kDrawsPerDay; period >= 1; --period) {
      const int minute = DrawMinute(period);
      if (day * kSecondsPerDay + minute * 60 + kAppearDelaySeconds > now) continue;
      char time[16];
      std::snprintf(time, sizeof time, "%02d:%02d", minute / 60, minute % 60);
      Draw draw{PeriodId(day, period), time, {}};
      draw.number = DrawNumber(draw.periodId);
      draws.push_back(std::move(draw));
      if (static_cast<int>(draws.size()) == count) return draws;
    }
  }
}

std::string ResultsPage(const std::vector<Draw>& draws) {
  std::string page =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Draw results</title>\n</head>\n<body>\n<table class='draws'>\n"
      "<tr class='head'><th>Period</th><th>Time</th><th>Number</th></tr>\n";
  page.reserve(page.size() + draws.size() * 230 + 32);
  for (const Draw& draw : draws) {
    // The first digit cell opens differently from the separator that joins the others,
    // so once the separators are removed the five digits stand together as >ddddd<.
    page += "<tr align='center'><td>";
    page += draw.periodId;
    page += "</td><td>";
    page += draw.time;
    page += "</td><td class='redball first'>";
    for (std::size_t i = 0; i < draw.number.size(); ++i) {
      if (i > 0) page += "</td><td class='redball'>";
      page += draw.number[i];
    }
    page += "</td></tr>\n";
  }
  page += "</table>\n</body>\n</html>\n";
  return page;
}

}  // namespace drawd
