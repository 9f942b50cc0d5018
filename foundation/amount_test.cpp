#include "foundation/amount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace ledgora {
namespace {

std::string Named(const char* name) {
  return name;
}

// --- Writers ---------------------------------------------------------------

struct FormatCase {
  const char* name;
  double amount;
  int decimals;  // -100: FormatAmount (2 decimals, its own zero band)
  char thousands;
  char decimal;
  const char* expected;
};

class FormatDisplay : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDisplay, WritesDisplayForm) {
  const FormatCase& c = GetParam();
  const std::string text = c.decimals == -100
                               ? FormatAmount(c.amount, c.thousands, c.decimal)
                               : FormatAmountDec(c.amount, c.decimals, c.thousands, c.decimal);
  EXPECT_EQ(text, c.expected);
}

constexpr int k2 = -100;

INSTANTIATE_TEST_SUITE_P(
    Amounts, FormatDisplay,
    ::testing::Values(
        FormatCase{"Grouped", 1234567.891, k2, ' ', ',', "1 234 567,89"},
        FormatCase{"NegativeGrouped", -1234.5, k2, ' ', ',', "-1 234,50"},
        FormatCase{"RoundsBeforeGrouping", 999.999, k2, ' ', ',', "1 000,00"},
        FormatCase{"Hundred", 100, k2, ' ', ',', "100,00"},
        FormatCase{"Thousand", 1000, k2, ' ', ',', "1 000,00"},
        FormatCase{"NegativeMillionByRounding", -999999.999, k2, ' ', ',', "-1 000 000,00"},
        FormatCase{"ZeroBandPositive", 0.0004, k2, ' ', ',', "0,00"},
        FormatCase{"ZeroBandNegativeHasNoSign", -0.0004, k2, ' ', ',', "0,00"},
        FormatCase{"NegativeZero", -0.0, k2, ' ', ',', "0,00"},
        FormatCase{"BandEdgeThroughNormalPath", 0.0005, k2, ' ', ',', "0,00"},
        FormatCase{"OutsideBandKeepsSign", -0.004, k2, ' ', ',', "-0,00"},
        FormatCase{"ExactTieAwayFromZero", 0.125, k2, ' ', ',', "0,13"},
        FormatCase{"NegativeExactTie", -0.125, k2, ' ', ',', "-0,13"},
        FormatCase{"BinaryBelowHalf", 2.675, k2, ' ', ',', "2,67"},
        FormatCase{"BinaryBelowHalfToo", 1.005, k2, ' ', ',', "1,00"},
        FormatCase{"NoGrouping", 1234567.891, k2, 0, ',', "1234567,89"},
        FormatCase{"PointGrouping", 1234567.891, k2, '.', ',', "1.234.567,89"},
        FormatCase{"NoBreakSpaceFromIntl", 1234, k2, '\xA0', ',',
                   "1\xC2\xA0"
                   "234,00"},
        FormatCase{"NoDecimalSeparatorEndsText", 1234.56, k2, ' ', 0, "1 234"},
        FormatCase{"Quadrillion", 1e15, k2, ' ', ',', "1 000 000 000 000 000,00"},
        FormatCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), k2, ' ', ',', "nan"},
        FormatCase{"NegativeInfinity", -std::numeric_limits<double>::infinity(), k2, ' ', ',',
                   "-inf"},
        FormatCase{"DecZeroDecimalsRounds", 1234.5, 0, ' ', ',', "1 235"},
        FormatCase{"DecZeroDecimalsGroupsToLastDigit", 999.5, 0, ' ', ',', "1 000"},
        FormatCase{"DecZeroBandWithDecimals", 0.000001, 3, ' ', ',', "0,000"},
        FormatCase{"DecZeroBandNoDecimals", -0.000001, 0, ' ', ',', "0"},
        FormatCase{"DecNarrowBandKeepsSign", -0.0001, 2, ' ', ',', "-0,00"},
        FormatCase{"DecThreeDecimals", 1234.5678, 3, ' ', ',', "1 234,568"},
        FormatCase{"DecNegativeCountIsZero", 12.3456, -1, ' ', ',', "12"},
        FormatCase{"DecTieAtZeroDecimals", 2.5, 0, ' ', ',', "3"}),
    [](const auto& info) { return Named(info.param.name); });

struct TextCase {
  const char* name;
  double amount;
  const char* us;     // FormatAmountUS
  const char* plain;  // AmountText
};

class FormatPlain : public ::testing::TestWithParam<TextCase> {};

TEST_P(FormatPlain, WritesUsAndPlainForms) {
  const TextCase& c = GetParam();
  EXPECT_EQ(FormatAmountUS(c.amount), c.us);
  EXPECT_STREQ(AmountText(c.amount), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, FormatPlain,
    ::testing::Values(TextCase{"NegativeMillions", -1234567.891, "-1,234,567.89", "-1234567,89"},
                      TextCase{"RoundsUpIntoGroup", 1234.999, "1,235.00", "1235,00"},
                      TextCase{"Zero", 0, "0.00", "0,00"},
                      TextCase{"ExactTie", 0.125, "0.13", "0,13"},
                      TextCase{"SmallNegative", -0.004, "-0.00", "-0,00"},
                      TextCase{"NegativeZeroKeepsConversionSign", -0.0, "0.00", "-0,00"},
                      TextCase{"HugeFitsItsBuffer", 1e20, "100,000,000,000,000,000,000.00",
                               "100000000000000000000,00"}),
    [](const auto& info) { return Named(info.param.name); });

// Our rounding must be the C library's on every value that is not an exact
// tie, and half away from zero on the ties (k/1000 is a tie at 2 decimals
// exactly when it is an odd number of eighths).
TEST(AmountRounding, MatchesCLibraryAndRoundsTiesAway) {
  for (int k = -20000; k <= 20000; ++k) {
    const double v = k / 1000.0;
    char expected[64];
    const bool tie = k % 125 == 0 && (k / 125) % 2 != 0;
    if (tie) {
      const double away = (k > 0 ? std::floor(v * 100) + 1 : std::ceil(v * 100) - 1) / 100;
      std::snprintf(expected, sizeof expected, "%1.2f", away);
    } else {
      std::snprintf(expected, sizeof expected, "%1.2f", v);
    }
    *std::strchr(expected, '.') = ',';
    ASSERT_STREQ(AmountText(v), expected) << "k = " << k;
  }
}

TEST(AmountText, StaticBuffersAreOverwrittenByTheNextCallOfTheSameFunction) {
  const char* first = AmountText(1);
  const char* dec = AmountTextDec(1234.5678, 3);
  EXPECT_STREQ(dec, "1234,568");
  const char* second = AmountText(2.5);
  EXPECT_EQ(first, second);
  EXPECT_STREQ(first, "2,50");
  EXPECT_STREQ(dec, "1234,568");  // a buffer of its own
  EXPECT_STREQ(AmountTextDec(2.5, 0), "3");
  EXPECT_STREQ(AmountTextDec(-1e20, 2), "-100000000000000000000,00");
}

TEST(AmountBuffers, BufferFormsWriteTheSameTextAndReturnTheBuffer) {
  char buf[kAmountBufferSize];
  EXPECT_EQ(FormatAmount(-1234.5, buf), buf);
  EXPECT_STREQ(buf, "-1 234,50");
  EXPECT_STREQ(FormatAmountDec(1234.5, buf, 0, '.', ','), "1.235");
  EXPECT_STREQ(FormatAmountUS(-1234567.891, buf), "-1,234,567.89");
  // The largest double with the widest separator fits the documented size.
  EXPECT_LT(
      FormatAmountDec(-std::numeric_limits<double>::max(), kMaxAmountDecimals, '\x80', ',').size(),
      kAmountBufferSize);
}

// --- Readers ---------------------------------------------------------------

struct ParseCase {
  const char* name;
  const char* text;
  double french;
  double us;
};

class ParseFixed : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseFixed, ReadsFrenchAndUsForms) {
  const ParseCase& c = GetParam();
  double a = -1;
  ParseAmount(a, c.text);
  EXPECT_DOUBLE_EQ(a, c.french);
  ParseAmountUS(a, c.text);
  EXPECT_DOUBLE_EQ(a, c.us);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseFixed,
    ::testing::Values(
        ParseCase{"Empty", "", 0, 0}, ParseCase{"FrenchGrouped", "1 234,56", 1234.56, 1},
        ParseCase{"UsGrouped", "1,234.56", 1.234, 1234.56},
        ParseCase{"OneDecimal", "12,5", 12.5, 125}, ParseCase{"Negative", "-12,34", -12.34, -1234},
        ParseCase{"NotANumber", "abc", 0, 0}, ParseCase{"LeadingPart", "12abc", 12, 12},
        ParseCase{"SecondCommaStops", "1,2,3", 1.2, 123}, ParseCase{"Exponent", "1e3", 1000, 1000},
        ParseCase{"ExponentWithoutDigits", "2e", 2, 2}, ParseCase{"PlusSign", "+5", 5, 5},
        ParseCase{"LeadingTab", "\t7", 7, 7},
        ParseCase{"NoBreakSpaceGrouping",
                  "1\xC2\xA0"
                  "234,5",
                  1234.5, 1},
        ParseCase{"InfinityIsNoNumber", "inf", 0, 0}, ParseCase{"NanIsNoNumber", "nan", 0, 0},
        ParseCase{"HexIsNoNumber", "0x10", 0, 0}, ParseCase{"OutOfRangeReadsZero", "1e999", 0, 0},
        ParseCase{"SignOnly", "-", 0, 0}, ParseCase{"PointOnly", ",", 0, 0}),
    [](const auto& info) { return Named(info.param.name); });

TEST(ParseAmount, NullTextReadsZero) {
  double a = 5;
  ParseAmount(a, nullptr);
  EXPECT_EQ(a, 0);
  ParseAmountUS(a = 5, nullptr);
  EXPECT_EQ(a, 0);
  ParseAmountAuto(a = 5, nullptr);
  EXPECT_EQ(a, 0);
}

class ParseAuto : public ::testing::Test {
 protected:
  ParseAuto() { ResetAmountAutoSeparators(); }
  ~ParseAuto() override { ResetAmountAutoSeparators(); }
  static double Read(const char* text) {
    double a = -1;
    ParseAmountAuto(a, text);
    return a;
  }
};

TEST_F(ParseAuto, StartsWithPointAndComma) {
  EXPECT_EQ(AmountAutoSeparators().decimal, '.');
  EXPECT_EQ(AmountAutoSeparators().thousands, ',');
  EXPECT_DOUBLE_EQ(Read("1,234"), 1234);
}

TEST_F(ParseAuto, DetectsBothConventions) {
  EXPECT_DOUBLE_EQ(Read("1.234,56"), 1234.56);
  EXPECT_DOUBLE_EQ(Read("1,234.56"), 1234.56);
  EXPECT_DOUBLE_EQ(Read("-12,34"), -12.34);
  EXPECT_DOUBLE_EQ(Read("-0,50"), -0.5);
  EXPECT_DOUBLE_EQ(Read("-,05"), -0.05);
}

TEST_F(ParseAuto, RemembersSeparatorsForTheNextTexts) {
  EXPECT_DOUBLE_EQ(Read("1 234,56"), 1234.56);
  EXPECT_EQ(AmountAutoSeparators().decimal, ',');
  EXPECT_EQ(AmountAutoSeparators().thousands, ' ');
  EXPECT_DOUBLE_EQ(Read("100"), 100);
  EXPECT_EQ(AmountAutoSeparators().decimal, ',');
  EXPECT_EQ(AmountAutoSeparators().thousands, ' ');
  EXPECT_DOUBLE_EQ(Read("2 000"), 2000);
  EXPECT_DOUBLE_EQ(Read("5,00"), 5);
}

TEST_F(ParseAuto, RolesNeverShareACharacter) {
  // "," turns thousands separator: the decimal role takes the old " ".
  EXPECT_DOUBLE_EQ(Read("1 234,56"), 1234.56);
  EXPECT_DOUBLE_EQ(Read("7,5"), 75);
  EXPECT_EQ(AmountAutoSeparators().thousands, ',');
  EXPECT_EQ(AmountAutoSeparators().decimal, ' ');
  // And the other way round.
  EXPECT_DOUBLE_EQ(Read("1,234.56"), 1234.56);
  EXPECT_DOUBLE_EQ(Read("8,50"), 8.5);
  EXPECT_EQ(AmountAutoSeparators().decimal, ',');
  EXPECT_EQ(AmountAutoSeparators().thousands, '.');
}

TEST_F(ParseAuto, FractionIsAlwaysHundredths) {
  EXPECT_DOUBLE_EQ(Read("12.5"), 125);  // one digit after: a thousands point
  EXPECT_DOUBLE_EQ(Read("3,14159"), 314159);
  EXPECT_DOUBLE_EQ(Read("12.50"), 12.5);
}

TEST_F(ParseAuto, BlanksAroundTheTextAreIgnored) {
  // A trailing blank would make the decimal comma a thousands separator and
  // drop the cents; a leading one would hide the minus sign.
  EXPECT_DOUBLE_EQ(Read("1 234,56 \r\n"), 1234.56);
  EXPECT_DOUBLE_EQ(Read("  -12,34"), -12.34);
  EXPECT_DOUBLE_EQ(Read(""), 0);
  EXPECT_DOUBLE_EQ(Read("   "), 0);
}

TEST(CommaDot, ReplacesOnlyTheFirstInPlace) {
  char text[] = "1,2,3";
  EXPECT_EQ(CommaToDot(text), text + 1);
  EXPECT_STREQ(text, "1.2,3");
  char none[] = "123";
  EXPECT_EQ(CommaToDot(none), nullptr);
  EXPECT_EQ(DotToComma(static_cast<char*>(nullptr)), nullptr);
  char dots[] = "1.5.0";
  EXPECT_EQ(DotToComma(dots), dots + 1);
  EXPECT_STREQ(dots, "1,5.0");

  std::string s = "12,5";
  EXPECT_EQ(CommaToDot(s), 2u);
  EXPECT_EQ(s, "12.5");
  EXPECT_EQ(CommaToDot(s), std::nullopt);
  EXPECT_EQ(DotToComma(s), 2u);
  EXPECT_EQ(s, "12,5");
}

}  // namespace
}  // namespace ledgora
