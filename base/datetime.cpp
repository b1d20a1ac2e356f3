// base/datetime.cpp -- calendar arithmetic on whole seconds (civil-from-days algorithms).
#include "base/datetime.h"

#include <cstdio>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

// Reads an unsigned decimal field of at least one digit ending at the separator (or at the
// end of the text when separator is 0).
bool ReadField(const std::string& text, std::size_t& i, char separator, int& out) {
  std::size_t start = i;
  long value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i] - '0');
    if (value > 99999) return false;
    ++i;
  }
  if (i == start) return false;
  if (separator != 0) {
    if (i >= text.size() || text[i] != separator) return false;
    ++i;
  } else if (i != text.size()) {
    return false;
  }
  out = static_cast<int>(value);
  return true;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<DateTime> MakeDateTime(int year, int month, int day, int hour, int minute,
                                     int second) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
  if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return std::nullopt;
  }
  std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  return DateTime{days * kSecondsPerDay + hour * 3600 + minute * 60 + second};
}

std::optional<DateTime> MakeDateTime(const DateTimeParts& p) {
  return MakeDateTime(p.year, p.month, p.day, p.hour, p.minute, p.second);
}

DateTimeParts SplitDateTime(DateTime value) {
  std::int64_t days = value.seconds / kSecondsPerDay;
  std::int64_t rest = value.seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  DateTimeParts parts;
  CivilFromDays(days, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int>(rest / 3600);
  parts.minute = static_cast<int>(rest / 60 % 60);
  parts.second = static_cast<int>(rest % 60);
  return parts;
}

DateTime AddSeconds(DateTime value, std::int64_t seconds) {
  return DateTime{value.seconds + seconds};
}
DateTime AddMinutes(DateTime value, std::int64_t minutes) {
  return AddSeconds(value, minutes * 60);
}
DateTime AddHours(DateTime value, std::int64_t hours) { return AddSeconds(value, hours * 3600); }

std::int64_t SecondsBetween(DateTime a, DateTime b) { return b.seconds - a.seconds; }

std::string FormatDateTime(DateTime value) {
  DateTimeParts p = SplitDateTime(value);
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                p.hour, p.minute, p.second);
  return buffer;
}

std::optional<DateTime> ParseDateTimeText(const std::string& text) {
  DateTimeParts p;
  std::size_t i = 0;
  if (!ReadField(text, i, '-', p.year) || !ReadField(text, i, '-', p.month) ||
      !ReadField(text, i, ' ', p.day) || !ReadField(text, i, ':', p.hour) ||
      !ReadField(text, i, ':', p.minute) || !ReadField(text, i, 0, p.second)) {
    return std::nullopt;
  }
  return MakeDateTime(p);
}
