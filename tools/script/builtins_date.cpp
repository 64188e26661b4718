// The runtime's date and time functions: the clock (Now, Date, Time,
// Timer), conversions (CDate, DateValue, TimeValue, IsDate), parts (Year
// ... Second, Weekday, DatePart), arithmetic (DateAdd, DateDiff,
// DateSerial, TimeSerial) and names (MonthName, WeekdayName,
// FormatDateTime). The calendar and the texts are the library's (date.h).
#include <chrono>
#include <cmath>
#include <ctime>
#include <map>
#include <optional>

#include "builtin_support.h"
#include "zidevuv10/date.h"

namespace zidevuv10::script {

namespace {

namespace chr = std::chrono;

constexpr double kSecondsPerDay = 86400;

// A date (days) from an argument: a date, a text that holds one, or a number.
double dateArgument(const Variant& v) {
  double days = 0;
  if (v.type() == VarType::String) {
    const std::optional<double> parsed = parseDate(v.text().str());
    if (!parsed) raiseHostError(err::kTypeMismatch);
    days = *parsed;
  } else {
    days = v.toDouble();
  }
  if (!(days >= kFirstDate && days < kLastDate + 1)) raiseHostError(err::kInvalidCall);
  return days;
}

Variant dateResult(std::optional<double> days) {
  if (!days || !(*days >= kFirstDate && *days < kLastDate + 1)) raiseHostError(err::kInvalidCall);
  return Variant::date(*days);
}

// The day a date falls on, counted on the line of time.
int64_t dayNumber(double date) { return static_cast<int64_t>(std::floor(timeLineOf(date))); }

// Seconds since 30 December 1899 on the line of time, to the nearest second.
int64_t secondNumber(double date) { return std::llround(timeLineOf(date) * kSecondsPerDay); }

// 1 (Sunday) to 7 (Saturday); 30 December 1899 was a Saturday.
int sundayWeekday(int64_t day) { return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1; }

// The first day of the week: 1 (Sunday) to 7; 0 is the system's, Sunday.
int firstDayArgument(const std::vector<Variant>& a, std::size_t i) {
  const int32_t first = given(a, i) ? a[i].toInt32() : 1;
  if (first < 0 || first > 7) raiseHostError(err::kInvalidCall);
  return first == 0 ? 1 : first;
}

int weekdayFrom(int64_t day, int firstDay) { return (sundayWeekday(day) - firstDay + 7) % 7 + 1; }

int64_t startOfWeek(int64_t day, int firstDay) { return day - (weekdayFrom(day, firstDay) - 1); }

int64_t dayOfDate(int year, int month, int day) {
  return dayNumber(*dateOf(DateParts{year, month, day, 0, 0, 0}));
}

// Week 1 of a year: the week of 1 January (1), the first with four days
// of the year (2), or the first whole week (3).
int64_t firstWeekStart(int year, int firstDay, int rule) {
  const int64_t jan1 = dayOfDate(year, 1, 1);
  const int64_t start = startOfWeek(jan1, firstDay);
  if (rule == 2) return jan1 - start <= 3 ? start : start + 7;
  if (rule == 3) return start == jan1 ? start : start + 7;
  return start;
}

int weekOfYear(double date, int firstDay, int rule) {
  const DateParts p = partsOf(date);
  const int64_t week = startOfWeek(dayNumber(date), firstDay);
  int64_t first = firstWeekStart(p.year, firstDay, rule);
  if (week < first && p.year > 100) first = firstWeekStart(p.year - 1, firstDay, rule);
  return static_cast<int>((week - first) / 7) + 1;
}

int lastDayOfMonth(int year, int month) {
  const chr::year_month_day_last last{chr::year{year} / chr::month{static_cast<unsigned>(month)} / chr::last};
  return static_cast<int>(static_cast<unsigned>(last.day()));
}

// Whole months from a date, the day kept where the month has it and
// otherwise its last day (31 January and a month is 29 February 2004).
std::optional<double> addMonths(double date, int64_t months) {
  DateParts p = partsOf(date);
  const int64_t total = static_cast<int64_t>(p.year) * 12 + (p.month - 1) + months;
  if (total < 100 * 12 || total > 9999 * 12 + 11) return std::nullopt;
  p.year = static_cast<int>(total / 12);
  p.month = static_cast<int>(total % 12) + 1;
  p.day = std::min(p.day, lastDayOfMonth(p.year, p.month));
  return dateOf(p);
}

std::u16string intervalArgument(const Variant& v) { return lowerName(v.toText().str()); }

// DateAdd(interval, number, date).
Variant dateAdd(std::vector<Variant>& a) {
  arity(a, 3, 3);
  if (isNull(a[1]) || isNull(a[2])) return Variant::null();
  const std::u16string interval = intervalArgument(a[0]);
  const int64_t n = a[1].toInt32();
  const double date = dateArgument(a[2]);
  if (interval == u"yyyy") return dateResult(addMonths(date, n * 12));
  if (interval == u"q") return dateResult(addMonths(date, n * 3));
  if (interval == u"m") return dateResult(addMonths(date, n));
  double days = 0;
  if (interval == u"d" || interval == u"y" || interval == u"w") days = static_cast<double>(n);
  else if (interval == u"ww") days = static_cast<double>(n) * 7;
  else if (interval == u"h") days = static_cast<double>(n) / 24;
  else if (interval == u"n") days = static_cast<double>(n) / 1440;
  else if (interval == u"s") days = static_cast<double>(n) / kSecondsPerDay;
  else raiseHostError(err::kInvalidCall);
  // To the nearest second, as the clock parts of a date are kept.
  const double line = static_cast<double>(std::llround((timeLineOf(date) + days) * kSecondsPerDay)) / kSecondsPerDay;
  return dateResult(dateOfTimeLine(line));
}

// DateDiff(interval, date1, date2[, firstdayofweek[, firstweekofyear]]):
// how many interval boundaries lie between the two dates.
Variant dateDiff(std::vector<Variant>& a) {
  arity(a, 3, 5);
  if (isNull(a[1]) || isNull(a[2])) return Variant::null();
  const std::u16string interval = intervalArgument(a[0]);
  const double from = dateArgument(a[1]);
  const double to = dateArgument(a[2]);
  const int firstDay = firstDayArgument(a, 3);
  const DateParts p = partsOf(from);
  const DateParts q = partsOf(to);
  int64_t n = 0;
  if (interval == u"yyyy") n = q.year - p.year;
  else if (interval == u"q") n = (q.year * 4 + (q.month - 1) / 3) - (p.year * 4 + (p.month - 1) / 3);
  else if (interval == u"m") n = (q.year * 12 + q.month) - (p.year * 12 + p.month);
  else if (interval == u"d" || interval == u"y") n = dayNumber(to) - dayNumber(from);
  else if (interval == u"w") n = (dayNumber(to) - dayNumber(from)) / 7;
  else if (interval == u"ww") n = (startOfWeek(dayNumber(to), firstDay) - startOfWeek(dayNumber(from), firstDay)) / 7;
  else if (interval == u"h") n = secondNumber(to) / 3600 - secondNumber(from) / 3600;
  else if (interval == u"n") n = secondNumber(to) / 60 - secondNumber(from) / 60;
  else if (interval == u"s") n = secondNumber(to) - secondNumber(from);
  else raiseHostError(err::kInvalidCall);
  return Variant(static_cast<int32_t>(n));
}

// DatePart(interval, date[, firstdayofweek[, firstweekofyear]]).
Variant datePart(std::vector<Variant>& a) {
  arity(a, 2, 4);
  if (isNull(a[1])) return Variant::null();
  const std::u16string interval = intervalArgument(a[0]);
  const double date = dateArgument(a[1]);
  const int firstDay = firstDayArgument(a, 2);
  const int32_t rule = given(a, 3) ? a[3].toInt32() : 1;
  if (rule < 0 || rule > 3) raiseHostError(err::kInvalidCall);
  const DateParts p = partsOf(date);
  int n = 0;
  if (interval == u"yyyy") n = p.year;
  else if (interval == u"q") n = (p.month - 1) / 3 + 1;
  else if (interval == u"m") n = p.month;
  else if (interval == u"y") n = static_cast<int>(dayNumber(date) - dayOfDate(p.year, 1, 1)) + 1;
  else if (interval == u"d") n = p.day;
  else if (interval == u"w") n = weekdayFrom(dayNumber(date), firstDay);
  else if (interval == u"ww") n = weekOfYear(date, firstDay, rule == 0 ? 1 : rule);
  else if (interval == u"h") n = p.hour;
  else if (interval == u"n") n = p.minute;
  else if (interval == u"s") n = p.second;
  else raiseHostError(err::kInvalidCall);
  return Variant(static_cast<int16_t>(n));
}

// A two-digit year as dates read it: 0-29 this century, 30-99 the last.
int64_t fullYear(int64_t year) {
  if (year >= 0 && year < 30) return 2000 + year;
  if (year >= 30 && year < 100) return 1900 + year;
  return year;
}

// DateSerial(year, month, day): months and days past their ranges carry
// into the next (or back into the previous) month and year.
Variant dateSerial(std::vector<Variant>& a) {
  arity(a, 3, 3);
  const int64_t total = fullYear(a[0].toInt32()) * 12 + (a[1].toInt32() - 1);
  const int64_t year = total >= 0 ? total / 12 : (total - 11) / 12;
  const int month = static_cast<int>(total - year * 12) + 1;
  if (year < 100 || year > 9999) raiseHostError(err::kInvalidCall);
  const double first = timeLineOf(*dateOf(DateParts{static_cast<int>(year), month, 1, 0, 0, 0}));
  return dateResult(dateOfTimeLine(first + static_cast<double>(a[2].toInt32() - 1)));
}

// TimeSerial(hour, minute, second), carrying as DateSerial does.
Variant timeSerial(std::vector<Variant>& a) {
  arity(a, 3, 3);
  const int64_t seconds = static_cast<int64_t>(a[0].toInt32()) * 3600 + static_cast<int64_t>(a[1].toInt32()) * 60 +
                          a[2].toInt32();
  return dateResult(dateOfTimeLine(static_cast<double>(seconds) / kSecondsPerDay));
}

Variant cDate(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) raiseHostError(err::kInvalidUseOfNull);
  return Variant::date(dateArgument(a[0]));
}

Variant isDate(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (a[0].type() == VarType::Date) return Variant::boolean(true);
  if (a[0].type() != VarType::String) return Variant::boolean(false);
  const std::optional<double> d = parseDate(a[0].text().str());
  return Variant::boolean(d && *d >= kFirstDate && *d < kLastDate + 1);
}

// The whole day of a date, without its time.
double dayOnly(double date) {
  const DateParts p = partsOf(date);
  return *dateOf(DateParts{p.year, p.month, p.day, 0, 0, 0});
}

Variant dateValue(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  return Variant::date(dayOnly(dateArgument(a[0])));
}

Variant timeValue(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  const DateParts p = partsOf(dateArgument(a[0]));
  return Variant::date(*dateOf(DateParts{1899, 12, 30, p.hour, p.minute, p.second}));
}

// Year ... Second: one part of a date, Null for Null.
template <int DateParts::*Field>
Variant part(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  const DateParts p = partsOf(dateArgument(a[0]));
  return Variant(static_cast<int16_t>(p.*Field));
}

Variant weekday(std::vector<Variant>& a) {
  arity(a, 1, 2);
  if (isNull(a[0])) return Variant::null();
  return Variant(static_cast<int16_t>(weekdayFrom(dayNumber(dateArgument(a[0])), firstDayArgument(a, 1))));
}

bool flag(const std::vector<Variant>& a, std::size_t i) { return given(a, i) && a[i].toBool() != 0; }

// WeekdayName(weekday[, abbreviate[, firstdayofweek]]): weekday 1 is the
// first day of the week.
Variant weekdayNameFunction(std::vector<Variant>& a) {
  arity(a, 1, 3);
  const int32_t n = a[0].toInt32();
  if (n < 1 || n > 7) raiseHostError(err::kInvalidCall);
  const int firstDay = firstDayArgument(a, 2);
  return Variant(weekdayName((n - 1 + firstDay - 1) % 7 + 1, flag(a, 1)));
}

Variant monthNameFunction(std::vector<Variant>& a) {
  arity(a, 1, 2);
  const int32_t n = a[0].toInt32();
  if (n < 1 || n > 12) raiseHostError(err::kInvalidCall);
  return Variant(monthName(n, flag(a, 1)));
}

// FormatDateTime(date[, format]): 0 general, 1 long date, 2 short date,
// 3 long time, 4 short time (24-hour hh:mm).
Variant formatDateTime(std::vector<Variant>& a) {
  arity(a, 1, 2);
  if (isNull(a[0])) raiseHostError(err::kTypeMismatch);
  const int32_t format = given(a, 1) ? a[1].toInt32() : 0;
  static constexpr DateStyle kStyles[] = {DateStyle::General, DateStyle::LongDate, DateStyle::ShortDate,
                                          DateStyle::LongTime, DateStyle::ShortTime};
  if (format < 0 || format > 4) raiseHostError(err::kInvalidCall);
  return Variant(formatDate(dateArgument(a[0]), kStyles[format]));
}

// The clock: local time, to the second for dates.
struct Clock {
  DateParts parts;
  double secondsToday;
};

Clock now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm t{};
  localtime_r(&ts.tv_sec, &t);
  return Clock{DateParts{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, std::min(t.tm_sec, 59)},
               t.tm_hour * 3600.0 + t.tm_min * 60.0 + t.tm_sec + static_cast<double>(ts.tv_nsec) / 1e9};
}

Variant nowFunction(std::vector<Variant>& a) {
  arity(a, 0, 0);
  return dateResult(dateOf(now().parts));
}

Variant dateFunction(std::vector<Variant>& a) {
  arity(a, 0, 0);
  DateParts p = now().parts;
  p.hour = p.minute = p.second = 0;
  return dateResult(dateOf(p));
}

Variant timeFunction(std::vector<Variant>& a) {
  arity(a, 0, 0);
  const DateParts p = now().parts;
  return dateResult(dateOf(DateParts{1899, 12, 30, p.hour, p.minute, p.second}));
}

// Timer: seconds since midnight, to the hundredth, as a Single.
Variant timer(std::vector<Variant>& a) {
  arity(a, 0, 0);
  return Variant(static_cast<float>(std::floor(now().secondsToday * 100) / 100));
}

}  // namespace

BuiltinFunction findDateBuiltin(std::u16string_view lowerName) {
  static const std::map<std::u16string_view, BuiltinFunction> kFunctions = {
      {u"now", nowFunction},
      {u"date", dateFunction},
      {u"time", timeFunction},
      {u"timer", timer},
      {u"cdate", cDate},
      {u"isdate", isDate},
      {u"datevalue", dateValue},
      {u"timevalue", timeValue},
      {u"dateadd", dateAdd},
      {u"datediff", dateDiff},
      {u"datepart", datePart},
      {u"dateserial", dateSerial},
      {u"timeserial", timeSerial},
      {u"year", part<&DateParts::year>},
      {u"month", part<&DateParts::month>},
      {u"day", part<&DateParts::day>},
      {u"hour", part<&DateParts::hour>},
      {u"minute", part<&DateParts::minute>},
      {u"second", part<&DateParts::second>},
      {u"weekday", weekday},
      {u"weekdayname", weekdayNameFunction},
      {u"monthname", monthNameFunction},
      {u"formatdatetime", formatDateTime},
  };
  const auto it = kFunctions.find(lowerName);
  return it == kFunctions.end() ? nullptr : it->second;
}

}  // namespace zidevuv10::script
