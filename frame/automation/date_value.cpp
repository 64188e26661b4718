// Dates: the calendar through std::chrono, texts through the C library's
// locale data for LC_TIME (names, order of day, month and year, 12- or
// 24-hour clock). Whole-number arithmetic only: the library needs no libm.
#include "zidevuv10/date.h"

#include <langinfo.h>
#include <locale.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "text/ascii_case.h"

namespace zidevuv10 {

namespace {

namespace chr = std::chrono;

constexpr int64_t kSecondsPerDay = 86400;

// Days from 30 December 1899 to 1 January 1970.
constexpr int64_t kUnixEpochDay = 25569;

int64_t civilDay(int year, int month, int day) {
  const chr::sys_days d{chr::year{year} / chr::month{static_cast<unsigned>(month)} / chr::day{static_cast<unsigned>(day)}};
  return d.time_since_epoch().count() + kUnixEpochDay;
}

bool validDay(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1 || day > 31 || year < 100 || year > 9999) return false;
  return (chr::year{year} / chr::month{static_cast<unsigned>(month)} / chr::day{static_cast<unsigned>(day)}).ok();
}

// Whole part toward zero, without libm.
int64_t wholePart(double v) { return static_cast<int64_t>(v); }

// The nearest whole number, halves away from zero.
int64_t nearest(double v) { return v < 0 ? -static_cast<int64_t>(-v + 0.5) : static_cast<int64_t>(v + 0.5); }

// The locale's date conventions, read from the C library for LC_TIME.
struct DateLocale {
  bool us = true;           // month/day/year without leading zeros, 12-hour clock
  std::string order = "mdy";  // the order of the numeric date's fields
  char separator = '/';
  bool twelveHour = true;
  std::string am = "AM", pm = "PM";
  std::vector<std::string> months, shortMonths, days, shortDays;  // from January, from Sunday
};

std::string localeName() {
  for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') return v;
  }
  return "C";
}

DateLocale usEnglish() {
  DateLocale l;
  l.months = {"January", "February", "March",     "April",   "May",      "June",
              "July",    "August",   "September", "October", "November", "December"};
  for (const std::string& m : l.months) l.shortMonths.push_back(m.substr(0, 3));
  l.days = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  for (const std::string& d : l.days) l.shortDays.push_back(d.substr(0, 3));
  return l;
}

DateLocale readLocale(const std::string& name) {
  DateLocale l = usEnglish();
  if (name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) return l;
  const locale_t loc = newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return l;
  for (int i = 0; i < 12; ++i) {
    l.months[static_cast<std::size_t>(i)] = nl_langinfo_l(static_cast<nl_item>(MON_1 + i), loc);
    l.shortMonths[static_cast<std::size_t>(i)] = nl_langinfo_l(static_cast<nl_item>(ABMON_1 + i), loc);
  }
  for (int i = 0; i < 7; ++i) {
    l.days[static_cast<std::size_t>(i)] = nl_langinfo_l(static_cast<nl_item>(DAY_1 + i), loc);
    l.shortDays[static_cast<std::size_t>(i)] = nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + i), loc);
  }
  // The order and separator of the numeric date, from its format.
  const std::string format = nl_langinfo_l(D_FMT, loc);
  l.order.clear();
  for (std::size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != '%') continue;
    const char c = format[++i];
    if (c == 'd' || c == 'e') l.order += 'd';
    else if (c == 'm') l.order += 'm';
    else if (c == 'y' || c == 'Y') l.order += 'y';
    else continue;
    if (l.order.size() == 1 && i + 1 < format.size() && format[i + 1] != '%') l.separator = format[i + 1];
  }
  if (l.order.size() != 3) l.order = "mdy";
  const std::string time = nl_langinfo_l(T_FMT, loc);
  l.am = nl_langinfo_l(AM_STR, loc);
  l.pm = nl_langinfo_l(PM_STR, loc);
  l.twelveHour = !l.am.empty() && (time.find("%r") != std::string::npos || time.find("%I") != std::string::npos);
  l.us = l.order == "mdy" && l.separator == '/' && l.twelveHour;
  freelocale(loc);
  return l;
}

// The conventions of the locale the environment names now, read again
// only when that name changes.
const DateLocale& currentLocale() {
  thread_local std::string cachedName;
  thread_local DateLocale cached;
  thread_local bool read = false;
  std::string name = localeName();
  if (!read || name != cachedName) {
    cached = readLocale(name);
    cachedName = std::move(name);
    read = true;
  }
  return cached;
}

std::string padded(int v, bool pad) {
  std::string s = std::to_string(v);
  return pad && s.size() < 2 ? "0" + s : s;
}

std::string shortDate(const DateParts& p, const DateLocale& l) {
  std::string out;
  for (const char f : l.order) {
    if (!out.empty()) out += l.separator;
    if (f == 'd') out += padded(p.day, !l.us);
    else if (f == 'm') out += padded(p.month, !l.us);
    else out += std::to_string(p.year);
  }
  return out;
}

std::string longTime(const DateParts& p, const DateLocale& l) {
  if (!l.twelveHour) return padded(p.hour, true) + ":" + padded(p.minute, true) + ":" + padded(p.second, true);
  const int h = p.hour % 12 == 0 ? 12 : p.hour % 12;
  return std::to_string(h) + ":" + padded(p.minute, true) + ":" + padded(p.second, true) + " " +
         (p.hour < 12 ? l.am : l.pm);
}

// The whole part toward minus infinity.
int64_t floorOf(double v) {
  const int64_t w = wholePart(v);
  return static_cast<double>(w) > v ? w - 1 : w;
}

int weekdayOf(double date) {
  const int64_t day = floorOf(timeLineOf(date));
  // 30 December 1899 was a Saturday (7).
  return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
}

std::string longDate(double date, const DateParts& p, const DateLocale& l) {
  const std::string weekday = l.days[static_cast<std::size_t>(weekdayOf(date) - 1)];
  const std::string month = l.months[static_cast<std::size_t>(p.month - 1)];
  if (l.us) return weekday + ", " + month + " " + std::to_string(p.day) + ", " + std::to_string(p.year);
  return weekday + ", " + std::to_string(p.day) + " " + month + " " + std::to_string(p.year);
}

// Parsing: the text as numbers, words and the separators between them.
struct Piece {
  enum Kind { Number, Word, Colon, Separator } kind;
  std::u16string text;
  int value = 0;
};

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0x80; }

std::optional<std::vector<Piece>> piecesOf(std::u16string_view t) {
  std::vector<Piece> out;
  std::size_t i = 0;
  while (i < t.size()) {
    const char16_t c = t[i];
    if (isDigit(c)) {
      Piece p{Piece::Number, {}, 0};
      while (i < t.size() && isDigit(t[i])) {
        if (p.text.size() >= 9) return std::nullopt;
        p.text += t[i];
        p.value = p.value * 10 + (t[i++] - u'0');
      }
      out.push_back(std::move(p));
    } else if (isLetter(c)) {
      Piece p{Piece::Word, {}, 0};
      while (i < t.size() && isLetter(t[i])) p.text += text::asciiLower(t[i++]);
      // A period right after a word abbreviates it ("Nov.").
      if (i < t.size() && t[i] == u'.') ++i;
      out.push_back(std::move(p));
    } else if (c == u':') {
      out.push_back(Piece{Piece::Colon, u":", 0});
      ++i;
    } else if (c == u'/' || c == u'-' || c == u'.' || c == u',') {
      out.push_back(Piece{Piece::Separator, std::u16string(1, c), 0});
      ++i;
    } else if (c == u' ' || c == u'\t') {
      ++i;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

std::u16string lowered(const std::string& utf8) { return text::asciiLowered(Text::fromUtf8(utf8).str()); }

// The month a word names (1..12), or 0.
int monthOfWord(const std::u16string& word, const DateLocale& l) {
  const DateLocale english = usEnglish();
  for (const DateLocale* names : {&l, &english}) {
    for (std::size_t m = 0; m < 12; ++m) {
      if (word == lowered(names->months[m]) || word == lowered(names->shortMonths[m])) return static_cast<int>(m) + 1;
    }
  }
  return 0;
}

bool isWeekdayWord(const std::u16string& word, const DateLocale& l) {
  const DateLocale english = usEnglish();
  for (const DateLocale* names : {&l, &english}) {
    for (std::size_t d = 0; d < 7; ++d) {
      if (word == lowered(names->days[d]) || word == lowered(names->shortDays[d])) return true;
    }
  }
  return false;
}

int fullYear(const Piece& p) {
  if (p.text.size() <= 2) return p.value < 30 ? 2000 + p.value : 1900 + p.value;
  return p.value;
}

int currentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return parts.tm_year + 1900;
}

// Reads `h:mm[:ss] [AM|PM]` starting at pieces[at]; removes what it read.
bool takeTime(std::vector<Piece>& pieces, DateParts& parts, bool& found, const DateLocale& l) {
  for (std::size_t at = 0; at + 2 < pieces.size(); ++at) {
    if (pieces[at].kind != Piece::Number || pieces[at + 1].kind != Piece::Colon || pieces[at + 2].kind != Piece::Number) {
      continue;
    }
    std::size_t end = at + 3;
    parts.hour = pieces[at].value;
    parts.minute = pieces[at + 2].value;
    parts.second = 0;
    if (end + 1 < pieces.size() && pieces[end].kind == Piece::Colon && pieces[end + 1].kind == Piece::Number) {
      parts.second = pieces[end + 1].value;
      end += 2;
    }
    if (end < pieces.size() && pieces[end].kind == Piece::Word) {
      const std::u16string& w = pieces[end].text;
      const bool am = w == u"am" || w == u"a" || w == lowered(l.am);
      const bool pm = w == u"pm" || w == u"p" || w == lowered(l.pm);
      if (am || pm) {
        if (parts.hour < 1 || parts.hour > 12) return false;
        parts.hour = parts.hour % 12 + (pm ? 12 : 0);
        ++end;
      }
    }
    if (parts.hour > 23 || parts.minute > 59 || parts.second > 59) return false;
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(at), pieces.begin() + static_cast<std::ptrdiff_t>(end));
    found = true;
    return true;
  }
  return true;
}

// Reads the date from what is left once the time is gone.
bool takeDate(std::vector<Piece> pieces, DateParts& parts, bool& found, bool usOrder, const DateLocale& l) {
  std::vector<Piece> numbers;
  int month = 0;
  for (const Piece& p : pieces) {
    if (p.kind == Piece::Number) {
      numbers.push_back(p);
    } else if (p.kind == Piece::Word) {
      const int m = monthOfWord(p.text, l);
      if (m != 0 && month == 0) month = m;
      else if (!isWeekdayWord(p.text, l)) return false;
    } else if (p.kind == Piece::Colon) {
      return false;
    }
  }
  if (numbers.empty() && month == 0) return true;
  found = true;
  if (month != 0) {
    // "November 1, 2006", "1 Nov 2006", "1-Nov-06", "Nov 2006".
    if (numbers.size() == 2) {
      // The year first ("2006 Nov 1") or last ("1 Nov 2006").
      const bool yearFirst = numbers[0].text.size() > 2;
      parts.month = month;
      parts.day = numbers[yearFirst ? 1 : 0].value;
      parts.year = fullYear(numbers[yearFirst ? 0 : 1]);
    } else if (numbers.size() == 1) {
      parts.month = month;
      if (numbers[0].value > 31 || numbers[0].text.size() > 2) {
        parts.year = fullYear(numbers[0]);
        parts.day = 1;
      } else {
        parts.day = numbers[0].value;
        parts.year = currentYear();
      }
    } else {
      return false;
    }
    return validDay(parts.year, parts.month, parts.day);
  }
  const std::string order = usOrder ? "mdy" : l.order;
  if (numbers.size() == 3) {
    if (numbers[0].text.size() > 2) {
      parts.year = numbers[0].value;
      parts.month = numbers[1].value;
      parts.day = numbers[2].value;
    } else {
      for (std::size_t i = 0; i < 3; ++i) {
        if (order[i] == 'd') parts.day = numbers[i].value;
        else if (order[i] == 'm') parts.month = numbers[i].value;
        else parts.year = fullYear(numbers[i]);
      }
      // A month past 12 that would make a day: the fields were the other way round.
      if (parts.month > 12 && parts.day <= 12) std::swap(parts.month, parts.day);
    }
  } else if (numbers.size() == 2) {
    const bool dayFirst = order.find('d') < order.find('m');
    if (numbers[1].value > 31 || numbers[1].text.size() > 2) {
      parts.month = numbers[0].value;
      parts.year = fullYear(numbers[1]);
      parts.day = 1;
    } else {
      parts.year = currentYear();
      parts.month = numbers[dayFirst ? 1 : 0].value;
      parts.day = numbers[dayFirst ? 0 : 1].value;
      if (parts.month > 12 && parts.day <= 12) std::swap(parts.month, parts.day);
    }
  } else {
    return false;
  }
  return validDay(parts.year, parts.month, parts.day);
}

}  // namespace

std::optional<double> dateOf(const DateParts& p) {
  if (!validDay(p.year, p.month, p.day)) return std::nullopt;
  if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59) return std::nullopt;
  const int64_t day = civilDay(p.year, p.month, p.day);
  const double time = static_cast<double>(p.hour * 3600 + p.minute * 60 + p.second) / kSecondsPerDay;
  return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

DateParts partsOf(double date) {
  int64_t day = wholePart(date);
  const double fraction = date < static_cast<double>(day) ? static_cast<double>(day) - date : date - static_cast<double>(day);
  int64_t seconds = nearest(fraction * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    ++day;
  }
  const chr::year_month_day ymd{chr::sys_days{chr::days{day - kUnixEpochDay}}};
  DateParts p;
  p.year = static_cast<int>(ymd.year());
  p.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  p.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  return p;
}

double timeLineOf(double date) {
  const int64_t day = wholePart(date);
  if (date >= 0) return date;
  // Before 30 December 1899 the fraction counts forward from the day's start.
  return static_cast<double>(day) + (static_cast<double>(day) - date);
}

double dateOfTimeLine(double line) {
  if (line >= 0) return line;
  const int64_t day = floorOf(line);
  const double time = line - static_cast<double>(day);
  return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

Text formatDate(double date, DateStyle style) {
  const DateLocale& l = currentLocale();
  const DateParts p = partsOf(date);
  const bool noTime = p.hour == 0 && p.minute == 0 && p.second == 0;
  switch (style) {
    case DateStyle::General: {
      // Day 0 (30 December 1899) stands for no date: only the time is shown.
      if (wholePart(date) == 0) return Text::fromUtf8(longTime(p, l));
      if (noTime) return Text::fromUtf8(shortDate(p, l));
      return Text::fromUtf8(shortDate(p, l) + " " + longTime(p, l));
    }
    case DateStyle::LongDate: return Text::fromUtf8(longDate(date, p, l));
    case DateStyle::ShortDate: return Text::fromUtf8(shortDate(p, l));
    case DateStyle::LongTime: return Text::fromUtf8(longTime(p, l));
    case DateStyle::ShortTime: return Text::fromUtf8(padded(p.hour, true) + ":" + padded(p.minute, true));
  }
  return Text::empty();
}

Text monthName(int month, bool abbreviated) {
  const DateLocale& l = currentLocale();
  const auto i = static_cast<std::size_t>(month - 1);
  return Text::fromUtf8(abbreviated ? l.shortMonths.at(i) : l.months.at(i));
}

Text weekdayName(int weekday, bool abbreviated) {
  const DateLocale& l = currentLocale();
  const auto i = static_cast<std::size_t>(weekday - 1);
  return Text::fromUtf8(abbreviated ? l.shortDays.at(i) : l.days.at(i));
}

std::optional<double> parseDate(std::u16string_view text, bool usOrder) {
  auto pieces = piecesOf(text);
  if (!pieces || pieces->empty()) return std::nullopt;
  const DateLocale& l = currentLocale();
  DateParts parts;
  bool hasTime = false;
  bool hasDate = false;
  if (!takeTime(*pieces, parts, hasTime, l)) return std::nullopt;
  DateParts day;
  if (!takeDate(*pieces, day, hasDate, usOrder, l)) return std::nullopt;
  if (!hasTime && !hasDate) return std::nullopt;
  if (hasDate) {
    parts.year = day.year;
    parts.month = day.month;
    parts.day = day.day;
  }
  return dateOf(parts);
}

}  // namespace zidevuv10
