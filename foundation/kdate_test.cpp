#include "foundation/kdate.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace ledgora {
namespace {

class KDateTest : public ::testing::Test {
 protected:
  platform::TPinnedToday today_{{10, 12, 2026}};
};

struct ReadCase {
  const char* name;
  const char* text;
  unsigned flags;
  unsigned day, month, year;  // 0 0 0: invalid
  char separator;
};

class KDateRead : public KDateTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(KDateRead, ReadsText) {
  const ReadCase& c = GetParam();
  const KDate d = KDate::FromText(c.text, c.flags);
  if (c.day == 0) {
    EXPECT_EQ(d.DayNumber(), 0u);
    return;
  }
  ASSERT_NE(d.DayNumber(), 0u);
  EXPECT_EQ(d.Day(), c.day);
  EXPECT_EQ(d.Month(), c.month);
  EXPECT_EQ(d.Year(), c.year);
  EXPECT_EQ(d.Separator(), c.separator);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KDateRead,
    ::testing::Values(ReadCase{"LeapDay2000", "29/02/2000", 3, 29, 2, 2000, '/'},
                      ReadCase{"NoLeapDay1900", "29/02/1900", 3, 0, 0, 0, 0},
                      ReadCase{"NoLeapDay2003", "29/02/2003", 3, 0, 0, 0, 0},
                      ReadCase{"ThirtyFirstApril", "31/04/2003", 3, 0, 0, 0, 0},
                      ReadCase{"DayZero", "00/01/2003", 3, 0, 0, 0, 0},
                      ReadCase{"ShortNumbers", "5/3/03", 3, 5, 3, 2003, '/'},
                      ReadCase{"HyphenKept", "05-03-2003", 3, 5, 3, 2003, '-'},
                      ReadCase{"MonthFirst", "03/05/2003", 0, 5, 3, 2003, '/'},
                      ReadCase{"NoSeparators", "05032003", 7, 5, 3, 2003, '/'},
                      ReadCase{"YearFirstShort", "030305", 12, 5, 3, 2003, '/'},
                      ReadCase{"YearFirstLong", "20030305", 14, 5, 3, 2003, '/'},
                      ReadCase{"Abbreviated", " 5 Mar 2003", 18, 5, 3, 2003, '/'},
                      ReadCase{"AbbreviatedAccent", "12 Déc 2004", 18, 12, 12, 2004, '/'},
                      ReadCase{"UnknownAbbreviation", "05 Xyz 2003", 16, 5, 1, 2003, '/'},
                      ReadCase{"FullName", " 5 Mars 03", 32, 5, 3, 2003, '/'},
                      ReadCase{"FullNameAccent", "14 Février 2010", 34, 14, 2, 2010, '/'},
                      ReadCase{"Empty", "", 3, 0, 0, 0, 0},
                      ReadCase{"Garbage", "abc", 3, 0, 0, 0, 0},
                      ReadCase{"NoYear", "05/03", 3, 0, 0, 0, 0},
                      ReadCase{"YearFirstWithSeparators", "2003-03-05", 10, 5, 3, 2003, '-'},
                      ReadCase{"WindowLow", "01/01/77", 3, 1, 1, 1977, '/'},
                      ReadCase{"WindowHigh", "01/01/76", 3, 1, 1, 2076, '/'}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KDateTest, FormsOfFifthMarch2003) {
  const KDate d(5, 3, 2003);
  EXPECT_EQ(d.Format(3), "05/03/2003");
  EXPECT_EQ(d.Format(7), "05032003");
  EXPECT_EQ(d.Format(10), "20030305");
  EXPECT_EQ(d.Format(8), "030305");
  EXPECT_EQ(d.Format(18), " 5 Mar 2003");
  EXPECT_EQ(d.Format(32), " 5 Mars 03");
  EXPECT_EQ(d.Format(2), "03/05/2003");
  EXPECT_EQ(d.Format(1), "05/03/03");
  EXPECT_EQ(KDate(1, 8, 2003).Format(34), " 1 Août 2003");
}

TEST_F(KDateTest, WrittenFormsReadBack) {
  for (unsigned flags : {0u, 1u, 2u, 3u, 7u, 8u, 10u, 12u, 14u, 16u, 18u, 32u, 34u}) {
    for (const KDate d : {KDate(5, 3, 2003), KDate(31, 12, 2030), KDate(29, 2, 2004)}) {
      // The compact year-first form has no separators: it reads with KD_NOSEP.
      const unsigned read_flags = (flags & KD_YEARFIRST) ? flags | KD_NOSEP : flags;
      EXPECT_EQ(KDate::FromText(d.Format(flags), read_flags), d)
          << d.Format(flags) << " with " << flags;
    }
  }
}

TEST_F(KDateTest, SeparatorOfTheReadTextIsWrittenBack) {
  EXPECT_EQ(KDate::FromText("05-03-2003", 3).Format(3), "05-03-2003");
}

TEST_F(KDateTest, DayNumberAndWeekday) {
  const KDate d(1, 1, 2000);
  EXPECT_EQ(d.DayNumber(), 2451545u);
  EXPECT_EQ(d.DayOfWeek(), 6u);                    // Saturday
  EXPECT_EQ(KDate(10, 12, 2026).DayOfWeek(), 4u);  // Thursday
  EXPECT_EQ(KDate(0, 1, 2003).DayNumber(), 0u);
  EXPECT_LT(KDate(), KDate(1, 1, 1900));
  // Calendar parts round-trip over four centuries.
  for (std::uint32_t n = KDate(1, 1, 1900).DayNumber(); n < KDate(1, 1, 2300).DayNumber();
       n += 37) {
    const KDate d2 = KDate::FromDayNumber(n);
    EXPECT_EQ(KDate(d2.Day(), d2.Month(), d2.Year()).DayNumber(), n);
  }
}

struct MoveCase {
  const char* name;
  KDate from;
  int kind;  // 0 AddMonths, 1 SubMonths, 2 AddYears
  unsigned n;
  KDate to;
};

class KDateMove : public KDateTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(KDateMove, Moves) {
  const MoveCase& c = GetParam();
  KDate d = c.from;
  const std::uint32_t r = c.kind == 0   ? d.AddMonths(c.n)
                          : c.kind == 1 ? d.SubMonths(c.n)
                                        : d.AddYears(c.n);
  EXPECT_EQ(d, c.to) << d.Format(3);
  EXPECT_EQ(r, c.to.DayNumber());
}

INSTANTIATE_TEST_SUITE_P(
    Moves, KDateMove,
    ::testing::Values(MoveCase{"EndOfJanuaryPlusOne", KDate(31, 1, 2004), 0, 1, KDate(29, 2, 2004)},
                      MoveCase{"DecemberPlusOne", KDate(15, 12, 2003), 0, 1, KDate(15, 1, 2004)},
                      MoveCase{"PlusTwentyFive", KDate(15, 12, 2003), 0, 25, KDate(15, 1, 2006)},
                      MoveCase{"EndOfMarchMinusOne", KDate(31, 3, 2003), 1, 1, KDate(28, 2, 2003)},
                      MoveCase{"MinusFifteen", KDate(15, 3, 2003), 1, 15, KDate(15, 12, 2001)},
                      MoveCase{"MinusThree", KDate(15, 3, 2003), 1, 3, KDate(15, 12, 2002)},
                      MoveCase{"MinusTwelve", KDate(15, 3, 2003), 1, 12, KDate(15, 3, 2002)},
                      MoveCase{"LeapDayPlusYear", KDate(29, 2, 2004), 2, 1, KDate(28, 2, 2005)},
                      MoveCase{"OnlyLow16BitsCount", KDate(15, 3, 2003), 0, 65536 + 1,
                               KDate(15, 4, 2003)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KDateTest, StaticHelpers) {
  EXPECT_TRUE(KDate::IsLeapYear(2000));
  EXPECT_FALSE(KDate::IsLeapYear(1900));
  EXPECT_TRUE(KDate::IsLeapYear(2004));
  EXPECT_EQ(KDate::DaysInMonth(2, 2004), 29u);
  EXPECT_EQ(KDate::DaysInMonth(13, 2004), 0u);
  EXPECT_EQ(KDate::DaysInMonth(0, 2004), 0u);
  EXPECT_EQ(KDate::ExpandYear(76), 2076u);
  EXPECT_EQ(KDate::ExpandYear(77), 1977u);
  EXPECT_EQ(KDate::ExpandYear(150), 150u);
  EXPECT_FALSE(KDate::IsValidDate(2, 29, 2003));
  EXPECT_EQ(KDate::ToDayNumber(1, 1, 2000), 2451545u);
}

TEST(KDateClock, TodayFollowsThePinnedClockAndTheWindowMoves) {
  {
    platform::TPinnedToday pin({3, 4, 2031});
    EXPECT_EQ(KDate::Today(), KDate(3, 4, 2031));
    EXPECT_EQ(KDate::ExpandYear(81), 2081u);
    EXPECT_EQ(KDate::ExpandYear(82), 1982u);
  }
  const KDate now = KDate::Today();
  EXPECT_TRUE(now.IsValid());
  EXPECT_EQ(now.Separator(), '/');
}

TEST_F(KDateTest, LongTextsAreReadFromTheirFirst99Characters) {
  std::string text = "05/03/2003";
  text.append(200, 'x');
  EXPECT_EQ(KDate::FromText(text, 3), KDate(5, 3, 2003));
}

}  // namespace
}  // namespace ledgora
