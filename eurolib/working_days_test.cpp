// Bank working days through the library's exports.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "eurolib/orveuro32.h"
#include "foundation/kdate.h"

namespace {

using ledgora::KDate;

struct TDayCase {
  const char* name;
  unsigned day, month, year;
  int calendar, region;
  int open;
};

class WorkingDay : public ::testing::TestWithParam<TDayCase> {};

TEST_P(WorkingDay, IsOpenOrClosed) {
  const TDayCase& c = GetParam();
  EXPECT_EQ(IsDayOpen(KDate(c.day, c.month, c.year), c.calendar, c.region), c.open);
}

INSTANTIATE_TEST_SUITE_P(
    Calendars, WorkingDay,
    ::testing::Values(TDayCase{"SaturdayShort", 4, 1, 2003, -1, 0, 0},
                      TDayCase{"SundayFrench", 5, 1, 2003, 0, 0, 0},
                      TDayCase{"MondayShort", 6, 1, 2003, -1, 0, 1},
                      TDayCase{"MondayFrench", 6, 1, 2003, 0, 0, 1},
                      TDayCase{"NewYearShort", 1, 1, 2003, -1, 0, 0},
                      TDayCase{"BastilleDayFrench", 14, 7, 2003, 0, 0, 0},
                      TDayCase{"BastilleDayShort", 14, 7, 2003, -1, 0, 1},
                      TDayCase{"ArmisticeOtherCalendarIsFrench", 11, 11, 2003, 7, 0, 0},
                      TDayCase{"EasterMondayShort", 21, 4, 2003, -1, 0, 0},
                      TDayCase{"AscensionFrench", 29, 5, 2003, 0, 0, 0},
                      TDayCase{"WhitMondayShort", 9, 6, 2003, -1, 0, 0},
                      TDayCase{"EasterTuesdayOpen", 22, 4, 2003, 0, 1, 1},
                      TDayCase{"GoodFridayOpenWithoutRegion", 18, 4, 2003, 0, 0, 1},
                      TDayCase{"GoodFridayClosedInRegion", 18, 4, 2003, 0, 1, 0},
                      TDayCase{"GoodFridayOpenInRegionWithShortCalendar", 18, 4, 2003, -1, 1, 1},
                      TDayCase{"BoxingDayOpenWithoutRegion", 26, 12, 2003, 0, 0, 1},
                      TDayCase{"BoxingDayClosedInRegion", 26, 12, 2003, 0, 1, 0},
                      TDayCase{"BoxingDayOpenInRegionWithShortCalendar", 26, 12, 2003, -1, 1, 1},
                      TDayCase{"EasterMondayInFirstTableYear", 31, 3, 1997, 0, 0, 0},
                      TDayCase{"EasterMondayInLastTableYear", 5, 4, 2010, 0, 0, 0},
                      TDayCase{"EasterMondayAfterTheTable", 25, 4, 2011, 0, 0, 1},
                      TDayCase{"BoxingDayAfterTheTable", 26, 12, 2011, 0, 1, 1},
                      TDayCase{"ChristmasAfterTheTable", 25, 12, 2012, 0, 0, 0},
                      TDayCase{"InvalidDate", 0, 0, 0, 0, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct TMoveCase {
  const char* name;
  unsigned day, month, year;
  int count, calendar, region;
  bool forward;
  unsigned to_day, to_month, to_year;
};

class WorkingDayMove : public ::testing::TestWithParam<TMoveCase> {};

TEST_P(WorkingDayMove, LandsOnTheCountedWorkingDay) {
  const TMoveCase& c = GetParam();
  KDate date(c.day, c.month, c.year);
  if (c.forward) {
    GetJourOuvrePlus(date, c.count, c.calendar, c.region);
  } else {
    GetJourOuvreMoins(date, c.count, c.calendar, c.region);
  }
  EXPECT_EQ(date.Format(), KDate(c.to_day, c.to_month, c.to_year).Format());
}

INSTANTIATE_TEST_SUITE_P(
    Calendars, WorkingDayMove,
    ::testing::Values(
        TMoveCase{"OverWeekendAndBastilleDay", 11, 7, 2003, 1, 0, 0, true, 15, 7, 2003},
        TMoveCase{"OverWeekendOnly", 11, 7, 2003, 1, -1, 0, true, 14, 7, 2003},
        TMoveCase{"BackOverEasterMonday", 22, 4, 2003, 1, 0, 0, false, 18, 4, 2003},
        TMoveCase{"BackOverGoodFridayInRegion", 22, 4, 2003, 1, 0, 1, false, 17, 4, 2003},
        TMoveCase{"StartDayNeverCounts", 6, 1, 2003, 1, 0, 0, true, 7, 1, 2003},
        TMoveCase{"FromAClosedDay", 4, 1, 2003, 1, 0, 0, true, 6, 1, 2003},
        TMoveCase{"OverChristmasInRegion", 24, 12, 2003, 3, 0, 1, true, 31, 12, 2003},
        TMoveCase{"ZeroLeavesTheDate", 4, 1, 2003, 0, 0, 0, true, 4, 1, 2003},
        TMoveCase{"NegativeLeavesTheDate", 4, 1, 2003, -5, 0, 0, false, 4, 1, 2003}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WorkingDayMove, AbsurdCountsStopAtTheCalendarBounds) {
  KDate forward(6, 1, 2003);
  GetJourOuvrePlus(forward, INT_MAX, 0, 1);
  EXPECT_EQ(forward.Format(), "31/12/9999");
  KDate back(6, 1, 2003);
  GetJourOuvreMoins(back, INT_MAX, -1, 0);
  EXPECT_EQ(back.Format(), "01/01/0100");
  KDate none;
  GetJourOuvrePlus(none, 5, 0, 0);
  EXPECT_FALSE(none.IsValid());
}

}  // namespace
