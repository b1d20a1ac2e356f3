// base/datetime.h -- a local date and time to whole seconds, with calendar arithmetic.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A date and time on the proleptic Gregorian calendar, held as whole seconds since
// 1970-01-01 00:00:00 of the same (unnamed) zone. Adding seconds, minutes or hours
// carries into the date.
struct DateTime {
  std::int64_t seconds = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
  friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// The fields of a DateTime.
struct DateTimeParts {
  int year = 1970;
  int month = 1;   // 1-12
  int day = 1;     // 1-31
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;  // 0-59

  friend bool operator==(const DateTimeParts&, const DateTimeParts&) = default;
};

// Builds a DateTime; nothing when a field lies outside its range or the month has no such
// day (years 1 to 9999).
std::optional<DateTime> MakeDateTime(int year, int month, int day, int hour, int minute,
                                     int second);
std::optional<DateTime> MakeDateTime(const DateTimeParts& parts);

DateTimeParts SplitDateTime(DateTime value);

DateTime AddSeconds(DateTime value, std::int64_t seconds);
DateTime AddMinutes(DateTime value, std::int64_t minutes);
DateTime AddHours(DateTime value, std::int64_t hours);

// Whole seconds from a to b (negative when b is earlier).
std::int64_t SecondsBetween(DateTime a, DateTime b);

// Days in the month, taking leap years into account.
int DaysInMonth(int year, int month);

// "yyyy-mm-dd hh:mm:ss", zero-padded.
std::string FormatDateTime(DateTime value);

// Reads "year-month-day hour:minute:second" (decimal fields, no sign); nothing when the
// text has another shape or a field is out of range.
std::optional<DateTime> ParseDateTimeText(const std::string& text);
