// Dates of the automation layer. A date is a double counting days since
// 30 December 1899: the whole part is the day (negative before that day),
// the fraction's absolute value the time of day, so -1.25 is 29 December
// 1899 at 06:00. Valid dates run from 1 January 100 to 31 December 9999.
//
// Texts follow the process's LC_TIME (LC_ALL, then LC_TIME, then LANG); the
// C and POSIX locales, and any locale that is not installed, read and write
// dates as US English does: 11/1/2006 1:45:00 PM.
//
// Pure functions of their arguments and the environment; safe from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "zidevuv10/export.h"
#include "zidevuv10/text.h"

namespace zidevuv10 {

// A calendar date and time of day; fields in their usual ranges.
struct DateParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

inline constexpr double kFirstDate = -657434.0;              // 1 January 100
inline constexpr double kLastDate = 2958465.0 + 86399.0 / 86400.0;  // 31 December 9999, 23:59:59

// The date of a day and time; nullopt outside the valid dates or for
// fields outside their ranges.
ZIDEVUV10_API std::optional<double> dateOf(const DateParts& parts);
// The day and time of a date, to the nearest second.
ZIDEVUV10_API DateParts partsOf(double date);

// Dates as a line of time: days since 30 December 1899 with the time of day
// added, so that adding and subtracting days and fractions is plain
// arithmetic (unlike on dates before that day).
ZIDEVUV10_API double timeLineOf(double date);
ZIDEVUV10_API double dateOfTimeLine(double line);

// How a date is written.
enum class DateStyle {
  General,    // the short date, then the long time; either alone where the other is zero
  LongDate,   // Wednesday, November 1, 2006
  ShortDate,  // 11/1/2006
  LongTime,   // 1:45:00 PM
  ShortTime,  // 13:45
};

ZIDEVUV10_API Text formatDate(double date, DateStyle style = DateStyle::General);

// Month 1..12 and weekday 1 (Sunday)..7 in the locale's language.
ZIDEVUV10_API Text monthName(int month, bool abbreviated);
ZIDEVUV10_API Text weekdayName(int weekday, bool abbreviated);

// The date a text denotes: a date, a time, or both ("11/1/2006",
// "2006-11-01 13:45", "November 1, 2006", "1-Nov-06", "1:45 PM"). Numeric
// dates take the locale's order of day, month and year unless `usOrder`
// (month first, as date literals are written); a year first (4 digits)
// always means year-month-day. nullopt when the text is no date.
ZIDEVUV10_API std::optional<double> parseDate(std::u16string_view text, bool usOrder = false);

}  // namespace zidevuv10
