// KDate: the calendar date of the whole system.
//
// A day number (Julian day; 1 January 2000 is 2451545, 0 is "no date") and
// the separator character of the numeric text forms. The layout (u32, then
// one char) is shared with the currency library, which receives KDate by
// reference through its exports: do not add members.
//
// Texts are UTF-8 in memory; the month names of the text forms therefore take
// more bytes than characters ("Fév" is three characters, four bytes).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ledgora {

enum KDateFlags : unsigned {
  KD_DAYFIRST = 1,
  KD_YEAR4 = 2,
  KD_NOSEP = 4,
  KD_YEARFIRST = 8,
  KD_MONTHABBR = 16,
  KD_MONTHNAME = 32,
};

// The form used almost everywhere: "31/12/2098".
inline constexpr unsigned KD_STANDARD = KD_DAYFIRST | KD_YEAR4;

// Month and weekday names, indexed from 1 (index 0 is empty).
extern const std::array<std::string_view, 13> kMonthNames;
extern const std::array<std::string_view, 13> kMonthAbbreviations;
extern const std::array<std::string_view, 8> kWeekdayNames;

class KDate {
 public:
  KDate() = default;
  // Day, month, year in this order; the year goes through ExpandYear; an
  // impossible triple gives the day number 0.
  KDate(unsigned day, unsigned month, unsigned year);

  static KDate Today();
  static KDate FromDayNumber(std::uint32_t day_number, char separator = '/');
  // Reads a text with a flag set; the day number is 0 when the text gives no
  // valid date. Only the first 99 characters are read.
  static KDate FromText(std::string_view text, unsigned flags);

  // Writes the date with a flag set into buf (at least 11 bytes for the
  // numeric forms, 21 for the month-name forms) and returns the number of
  // bytes written, terminator excluded. The invalid date 0 writes an empty
  // text.
  std::size_t Format(char* buf, unsigned flags) const;
  std::string Format(unsigned flags = KD_STANDARD) const;

  bool IsValid() const { return day_number_ != 0; }
  std::uint32_t DayNumber() const { return day_number_; }
  void SetDayNumber(std::uint32_t n) { day_number_ = n; }
  char Separator() const { return separator_; }
  void SetSeparator(char c) { separator_ = c; }

  unsigned Day() const;
  unsigned Month() const;
  unsigned Year() const;
  // 1 for Monday up to 7 for Sunday.
  unsigned DayOfWeek() const;

  // Move the date and return the new day number. Only the low 16 bits of n
  // count. A day missing from the new month is lowered until it exists.
  std::uint32_t AddMonths(unsigned n);
  std::uint32_t SubMonths(unsigned n);
  std::uint32_t AddYears(unsigned n);

  static std::uint32_t ToDayNumber(unsigned month, unsigned day, unsigned year);
  static bool IsValidDate(unsigned month, unsigned day, unsigned year);
  static bool IsLeapYear(unsigned year);
  static unsigned DaysInMonth(unsigned month, unsigned year);
  // A year below 100 is placed in the hundred years from today's year − 49
  // to today's year + 50.
  static unsigned ExpandYear(unsigned year);

  friend bool operator==(const KDate& a, const KDate& b) { return a.day_number_ == b.day_number_; }
  friend auto operator<=>(const KDate& a, const KDate& b) {
    return a.day_number_ <=> b.day_number_;
  }

 private:
  struct Parts {
    unsigned day, month, year;
  };
  Parts Split() const;
  void Assign(unsigned day, unsigned month, unsigned year);

  std::uint32_t day_number_ = 0;
  char separator_ = '/';
};

}  // namespace ledgora
