#include "eurolib/working_days.h"

#include <string>
#include <string_view>

namespace ledgora::eurolib {

namespace {

// The lists are texts, and a date is tested by looking for its weekday name
// or its day and month ("%02d%02d") in them, as the bank's tables give them.
struct TCalendar {
  std::string_view closed_weekdays;
  std::string_view fixed_holidays;
};

constexpr TCalendar kShort = {"Samedi;Dimanche", "0101;0105;1508;0111;2512"};
constexpr TCalendar kFrench = {"Samedi;Dimanche", "0101;0105;0805;1407;1508;0111;1111;2512"};

struct TEasterRow {
  unsigned year;
  std::string_view day_month;
};

// Easter Sundays are not computed: the table ends with the year 9999.
constexpr TEasterRow kEaster[] = {
    {1997, "3003"}, {1998, "1204"}, {1999, "0404"}, {2000, "2304"}, {2001, "1504"},
    {2002, "3103"}, {2003, "2004"}, {2004, "1104"}, {2005, "2703"}, {2006, "1604"},
    {2007, "0804"}, {2008, "2303"}, {2009, "1204"}, {2010, "0404"}, {9999, "0000"},
};

// Easter Monday, Ascension Thursday, Whit Monday.
constexpr std::string_view kEasterOffsets = "1;39;50";
// The region's holidays: 26 December and Good Friday.
constexpr std::string_view kRegionHolidays = "2612";
constexpr std::uint32_t kGoodFridayBeforeEaster = 2;

int NormalisedCalendar(int calendar) {
  return calendar == kShortCalendar ? kShortCalendar : kFrenchCalendar;
}

std::string DayMonthText(const KDate& date) {
  const unsigned day = date.Day() % 100;
  const unsigned month = date.Month() % 100;
  return {static_cast<char>('0' + day / 10), static_cast<char>('0' + day % 10),
          static_cast<char>('0' + month / 10), static_cast<char>('0' + month % 10)};
}

std::uint32_t LowestDay() {
  return KDate(1, 1, 100).DayNumber();
}
std::uint32_t HighestDay() {
  return KDate(31, 12, 9999).DayNumber();
}

}  // namespace

bool IsWorkingDay(const KDate& date, int calendar, int region) {
  // Step 1: the calendar's lists.
  calendar = NormalisedCalendar(calendar);
  const TCalendar& lists = calendar == kShortCalendar ? kShort : kFrench;

  // Step 2: the weekday.
  const std::string_view weekday = kWeekdayNames[date.DayOfWeek()];
  if (lists.closed_weekdays.find(weekday) != std::string_view::npos) return false;

  // Step 3: the fixed holidays.
  const std::string day_month = DayMonthText(date);
  if (lists.fixed_holidays.find(day_month) != std::string_view::npos) return false;

  // Step 4: a year outside the Easter table has no further holiday.
  const unsigned year = date.Year();
  const TEasterRow* easter_row = nullptr;
  for (const TEasterRow& row : kEaster) {
    if (row.year == 9999) break;
    if (row.year == year) {
      easter_row = &row;
      break;
    }
  }
  if (easter_row == nullptr) return true;

  // Step 5: the holidays that follow Easter Sunday.
  std::string easter_text(easter_row->day_month);
  const std::string year_text = std::to_string(year);
  easter_text += std::string(year_text.size() < 4 ? 4 - year_text.size() : 0, '0') + year_text;
  const KDate easter = KDate::FromText(easter_text, KD_DAYFIRST | KD_YEAR4 | KD_NOSEP);
  std::size_t p = 0;
  while (p < kEasterOffsets.size()) {
    std::uint32_t offset = 0;
    while (p < kEasterOffsets.size() && kEasterOffsets[p] != ';') {
      offset = offset * 10 + static_cast<std::uint32_t>(kEasterOffsets[p++] - '0');
    }
    ++p;
    if (date.DayNumber() == easter.DayNumber() + offset) return false;
  }

  // Step 6: the region's two holidays, with the French calendar only.
  if (calendar != kFrenchCalendar || region != kHolidayRegion) return true;
  if (kRegionHolidays.find(day_month) != std::string_view::npos) return false;
  return date.DayNumber() != easter.DayNumber() - kGoodFridayBeforeEaster;
}

void AddWorkingDays(KDate& date, int count, int calendar, int region) {
  if (!date.IsValid()) return;
  const std::uint32_t highest = HighestDay();
  while (count > 0 && date.DayNumber() < highest) {
    date.SetDayNumber(date.DayNumber() + 1);
    if (IsWorkingDay(date, calendar, region)) --count;
  }
}

void SubtractWorkingDays(KDate& date, int count, int calendar, int region) {
  if (!date.IsValid()) return;
  const std::uint32_t lowest = LowestDay();
  while (count > 0 && date.DayNumber() > lowest) {
    date.SetDayNumber(date.DayNumber() - 1);
    if (IsWorkingDay(date, calendar, region)) --count;
  }
}

}  // namespace ledgora::eurolib
