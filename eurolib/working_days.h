// Bank working days: the weekend, two calendars of fixed holidays, the
// holidays that follow Easter (1997 to 2010) and two holidays of one region.
#pragma once

#include "foundation/kdate.h"

namespace ledgora::eurolib {

// The two calendars. Any other value is taken as the French one.
inline constexpr int kShortCalendar = -1;  // weekends, 1/1, 1/5, 15/8, 1/11, 25/12
inline constexpr int kFrenchCalendar = 0;  // adds 8/5, 14/7 and 11/11
// The region that, with the French calendar, adds 26/12 and Good Friday.
inline constexpr int kHolidayRegion = 1;

// True when the date is a working day.
bool IsWorkingDay(const KDate& date, int calendar, int region);

// Moves the date by count working days forward or back (the start date never
// counts; a count of 0 or less, or an invalid date, leaves it). A move stops
// at 1 January 100 and at 31 December 9999, whatever is left of the count, so
// that an absurd count ends in bounded time.
void AddWorkingDays(KDate& date, int count, int calendar, int region);
void SubtractWorkingDays(KDate& date, int count, int calendar, int region);

}  // namespace ledgora::eurolib
