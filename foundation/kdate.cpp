#include "foundation/kdate.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "foundation/cp1252.h"
#include "platform/clock.h"

namespace ledgora {

const std::array<std::string_view, 13> kMonthNames = {
    "",        "Janvier", "Février",   "Mars",    "Avril",    "Mai",     "Juin",
    "Juillet", "Août",    "Septembre", "Octobre", "Novembre", "Décembre"};
const std::array<std::string_view, 13> kMonthAbbreviations = {
    "", "Jan", "Fév", "Mar", "Avr", "Mai", "Jun", "Jul", "Aoû", "Sep", "Oct", "Nov", "Déc"};
const std::array<std::string_view, 8> kWeekdayNames = {"",      "Lundi",    "Mardi",  "Mercredi",
                                                       "Jeudi", "Vendredi", "Samedi", "Dimanche"};

namespace {

constexpr std::uint32_t kEpoch = 1721119;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads the first or second number of a text form: two digits, one digit, or
// the value 1 without using a character.
unsigned ReadShortNumber(std::string_view s, std::size_t& pos) {
  if (pos < s.size() && IsDigit(s[pos])) {
    if (pos + 1 < s.size() && IsDigit(s[pos + 1])) {
      const unsigned v = (s[pos] - '0') * 10u + (s[pos + 1] - '0');
      pos += 2;
      return v;
    }
    return static_cast<unsigned>(s[pos++] - '0');
  }
  return 1;
}

// A whole number as the C library reads it: leading white space skipped,
// digits up to the first other character. Without any digit there is no
// number: the year of a date text must be written, or "" and "abc" would
// read as 1 January 2000.
std::optional<unsigned> ReadWholeNumber(std::string_view s, std::size_t pos) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  if (pos >= s.size() || !IsDigit(s[pos])) return std::nullopt;
  unsigned long v = 0;
  while (pos < s.size() && IsDigit(s[pos])) {
    v = v * 10 + static_cast<unsigned>(s[pos] - '0');
    if (v > 0xFFFFFFFFul) v = 0xFFFFFFFFul;
    ++pos;
  }
  return static_cast<unsigned>(v);
}

// Skips one character (UTF-8).
void SkipChar(std::string_view s, std::size_t& pos) {
  if (pos < s.size()) DecodeUtf8At(s, pos);
}

}  // namespace

KDate::KDate(unsigned day, unsigned month, unsigned year)
    : day_number_(ToDayNumber(month, day, year)) {}

KDate KDate::Today() {
  const auto t = platform::Today();
  return KDate(t.day, t.month, t.year);
}

KDate KDate::FromDayNumber(std::uint32_t day_number, char separator) {
  KDate d;
  d.day_number_ = day_number;
  d.separator_ = separator;
  return d;
}

bool KDate::IsLeapYear(unsigned year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned KDate::DaysInMonth(unsigned month, unsigned year) {
  static constexpr unsigned kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kLengths[month - 1];
}

unsigned KDate::ExpandYear(unsigned year) {
  if (year >= 100) return year;
  const unsigned w = platform::Today().year - 50;
  if (year > w % 100) return (w / 100) * 100 + year;
  return (w / 100 + 1) * 100 + year;
}

bool KDate::IsValidDate(unsigned month, unsigned day, unsigned year) {
  year = ExpandYear(year);
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year);
}

std::uint32_t KDate::ToDayNumber(unsigned month, unsigned day, unsigned year) {
  year = ExpandYear(year);
  if (!IsValidDate(month, day, year)) return 0;
  std::uint32_t m, y;
  if (month > 2) {
    m = month - 3;
    y = year;
  } else {
    m = month + 9;
    y = year - 1;
  }
  const std::uint32_t c = y / 100;
  const std::uint32_t a = y % 100;
  return (146097u * c) / 4 + (1461u * a) / 4 + (153u * m + 2) / 5 + day + kEpoch;
}

KDate::Parts KDate::Split() const {
  if (day_number_ <= kEpoch) return Parts{0, 0, 0};
  std::uint32_t j = day_number_ - kEpoch;
  std::uint32_t y = (4 * j - 1) / 146097;
  std::uint32_t d = (4 * j - 1 - 146097 * y) / 4;
  j = (4 * d + 3) / 1461;
  d = (4 * d + 3 - 1461 * j + 4) / 4;
  std::uint32_t m = (5 * d - 3) / 153;
  const std::uint32_t day = (5 * d - 3 - 153 * m + 5) / 5;
  std::uint32_t year = 100 * y + j;
  if (m < 10) {
    m += 3;
  } else {
    m -= 9;
    ++year;
  }
  return Parts{day, m, year};
}

unsigned KDate::Day() const {
  return Split().day;
}
unsigned KDate::Month() const {
  return Split().month;
}
unsigned KDate::Year() const {
  return Split().year;
}

unsigned KDate::DayOfWeek() const {
  return ((day_number_ + 1) % 7 + 6) % 7 + 1;
}

void KDate::Assign(unsigned day, unsigned month, unsigned year) {
  while (day > 1 && !IsValidDate(month, day, year)) --day;
  day_number_ = ToDayNumber(month, day, year);
}

std::uint32_t KDate::AddMonths(unsigned n) {
  n &= 0xFFFF;
  const Parts p = Split();
  if (p.month == 0) return day_number_;
  Assign(p.day, (p.month + n - 1) % 12 + 1, p.year + (p.month + n - 1) / 12);
  return day_number_;
}

std::uint32_t KDate::SubMonths(unsigned n) {
  n &= 0xFFFF;
  const Parts p = Split();
  if (p.month == 0) return day_number_;
  if (p.month <= n) {
    Assign(p.day, 12 - ((n - p.month) % 12), p.year - (n - p.month) / 12 - 1);
  } else {
    Assign(p.day, p.month - n, p.year);
  }
  return day_number_;
}

std::uint32_t KDate::AddYears(unsigned n) {
  n &= 0xFFFF;
  const Parts p = Split();
  if (p.month == 0) return day_number_;
  Assign(p.day, p.month, p.year + n);
  return day_number_;
}

KDate KDate::FromText(std::string_view text, unsigned flags) {
  // Step 0: a copy of at most 99 characters.
  std::string s(Utf8Prefix(text, 99));
  KDate result;
  // Step 1: a leading space reads as "0", so that "%2u" reads back.
  if (!s.empty() && s[0] == ' ') s[0] = '0';

  std::size_t pos = 0;
  unsigned day = 0, month = 0;
  std::optional<unsigned> year;
  // Step 2: the first number. A year written first with four digits
  // ("20030305" with 14) is read with its four digits, so that this form
  // reads back; the other forms read one or two digits.
  unsigned first = 0;
  if ((flags & KD_YEARFIRST) && (flags & KD_YEAR4) && !(flags & (KD_MONTHABBR | KD_MONTHNAME)) &&
      pos < s.size() && IsDigit(s[pos])) {
    for (int digits = 0; digits < 4 && pos < s.size() && IsDigit(s[pos]); ++digits) {
      first = first * 10 + static_cast<unsigned>(s[pos++] - '0');
    }
  } else {
    first = ReadShortNumber(s, pos);
  }

  if (flags & KD_MONTHABBR) {
    // Step 3: day, one character, three-letter month name, one character, year.
    day = first;
    SkipChar(s, pos);
    month = 1;
    const std::string_view rest = std::string_view(s).substr(std::min(pos, s.size()));
    const std::size_t name_bytes = Utf8PrefixBytes(rest, 3);
    for (unsigned m = 1; m <= 12; ++m) {
      if (rest.substr(0, name_bytes) == kMonthAbbreviations[m]) {
        month = m;
        break;
      }
    }
    pos += name_bytes;
    SkipChar(s, pos);
    year = ReadWholeNumber(s, pos);
  } else if (flags & KD_MONTHNAME) {
    // Step 4: the word one character after the first number is the month
    // name; the year starts one character after that word.
    day = first;
    SkipChar(s, pos);
    std::size_t end = s.find(' ', std::min(pos, s.size()));
    if (end == std::string::npos) end = s.size();
    const std::string_view word =
        std::string_view(s).substr(std::min(pos, s.size()), end - std::min(pos, s.size()));
    month = 1;
    for (unsigned m = 1; m <= 12; ++m) {
      if (word == kMonthNames[m]) {
        month = m;
        break;
      }
    }
    pos = end;
    SkipChar(s, pos);
    year = ReadWholeNumber(s, pos);
  } else {
    // Step 5: numeric forms.
    if (!(flags & KD_NOSEP)) {
      if (pos < s.size()) result.separator_ = s[pos];
      SkipChar(s, pos);
    }
    const unsigned second = ReadShortNumber(s, pos);
    if (!(flags & KD_NOSEP)) SkipChar(s, pos);
    const std::optional<unsigned> third = ReadWholeNumber(s, pos);
    if (!third) return result;
    if (flags & KD_DAYFIRST) {
      day = first;
      month = second;
      year = third;
    } else if (flags & KD_YEARFIRST) {
      year = first;
      month = second;
      day = *third;
    } else {
      month = first;
      day = second;
      year = third;
    }
  }
  // Step 6.
  if (!year) return result;
  result.day_number_ = ToDayNumber(month, day, ExpandYear(*year));
  return result;
}

std::size_t KDate::Format(char* buf, unsigned flags) const {
  if (day_number_ == 0) {
    buf[0] = '\0';
    return 0;
  }
  const Parts p = Split();
  const unsigned yy = (flags & KD_YEAR4) ? p.year : p.year % 100;
  int n = 0;
  if (flags & (KD_MONTHABBR | KD_MONTHNAME)) {
    const std::string_view name =
        (flags & KD_MONTHABBR) ? kMonthAbbreviations[p.month] : kMonthNames[p.month];
    n = std::sprintf(buf, (flags & KD_YEAR4) ? "%2u %.*s %04u" : "%2u %.*s %02u", p.day,
                     static_cast<int>(name.size()), name.data(), yy);
  } else if (flags & KD_YEARFIRST) {
    n = std::sprintf(buf, (flags & KD_YEAR4) ? "%04u%02u%02u" : "%02u%02u%02u", yy, p.month, p.day);
  } else {
    const unsigned a = (flags & KD_DAYFIRST) ? p.day : p.month;
    const unsigned b = (flags & KD_DAYFIRST) ? p.month : p.day;
    if (flags & KD_NOSEP) {
      n = std::sprintf(buf, (flags & KD_YEAR4) ? "%02u%02u%04u" : "%02u%02u%02u", a, b, yy);
    } else {
      n = std::sprintf(buf, (flags & KD_YEAR4) ? "%02u%c%02u%c%04u" : "%02u%c%02u%c%02u", a,
                       separator_, b, separator_, yy);
    }
  }
  return n < 0 ? 0 : static_cast<std::size_t>(n);
}

std::string KDate::Format(unsigned flags) const {
  char buf[48];
  const std::size_t n = Format(buf, flags);
  return std::string(buf, n);
}

}  // namespace ledgora
