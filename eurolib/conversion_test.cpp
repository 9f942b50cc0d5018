// The conversions through the library's exports: the cases that define the
// changeover rules, the failures and their codes.
#include <gtest/gtest.h>

#include <string>

#include "eurolib/orveuro32.h"

namespace {

struct TTextCase {
  const char* name;
  const char* amount;
  const char* source;
  const char* target;
  int decimals;
  unsigned size;  // of the result buffer
  int code;
  const char* result;  // checked when code is 0
};

class TextConversion : public ::testing::TestWithParam<TTextCase> {};

TEST_P(TextConversion, GivesTheRoundedResultAndCode) {
  const TTextCase& c = GetParam();
  char out[64] = "untouched";
  EXPECT_EQ(euro_Conversion(c.amount, c.source, out, c.target, c.size, c.decimals), c.code);
  if (c.code == 0) {
    EXPECT_STREQ(out, c.result);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Changeover, TextConversion,
    ::testing::Values(
        TTextCase{"FrancsToEuros", "100", "FRF", "EUR", 2, 64, 0, "15.24"},
        TTextCase{"EurosToFrancs", "1.00", "EUR", "FRF", 2, 64, 0, "6.56"},
        TTextCase{"NegativeAmount", "-100.00", "FRF", "EUR", 2, 64, 0, "-15.24"},
        TTextCase{"PlusSign", "+100", "FRF", "EUR", 2, 64, 0, "15.24"},
        TTextCase{"LegacyPairEuroStepWithThreeDecimals", "100.00", "FRF", "DEM", 2, 64, 0, "29.82"},
        TTextCase{"LegacyPairEuroStepWithOneDecimal", "100", "FRF", "DEM", 2, 64, 0, "29.73"},
        TTextCase{"NoDecimalCurrencyToFrancs", "1000", "BEF", "FRF", 2, 64, 0, "162.68"},
        TTextCase{"LargerAmount", "10000.00", "FRF", "EUR", 2, 64, 0, "1524.49"},
        TTextCase{"SameCurrencyRounded", "12.345", "FRF", "FRF", 2, 64, 0, "12.35"},
        TTextCase{"SameCurrencyNeverPadded", "12.5", "FRF", "FRF", 2, 64, 0, "12.5"},
        TTextCase{"NegativeDecimalsKeepTwo", "100.00", "FRF", "EUR", -1, 64, 0, "15.24"},
        TTextCase{"NegativeDecimalsKeepThree", "100.000", "FRF", "EUR", -1, 64, 0, "15.245"},
        TTextCase{"CommaReadsAsZero", "12,50", "FRF", "EUR", 2, 64, 0, "0.00"},
        TTextCase{"LettersReadAsZero", "abc", "EUR", "FRF", 2, 64, 0, "0.00"},
        TTextCase{"SameCurrencyTextNotAnAmountIsZero", "12,50", "FRF", "FRF", 2, 64, 0, "0"},
        TTextCase{"HalfAwayFromZeroUp", "0.5", "EUR", "FRF", 5, 64, 0, "3.27979"},
        TTextCase{"HalfAwayFromZeroDown", "-0.5", "EUR", "FRF", 5, 64, 0, "-3.27979"},
        TTextCase{"TinyNegativeRoundsToUnsignedZero", "-0.03", "FRF", "EUR", 2, 64, 0, "0.00"},
        TTextCase{"TinyNegativeRoundsAway", "-0.04", "FRF", "EUR", 2, 64, 0, "-0.01"},
        TTextCase{"ProductNotPadded", "1", "EUR", "GRD", 4, 64, 0, "340.75"},
        TTextCase{"ToNoDecimals", "1", "EUR", "ITL", 0, 64, 0, "1936"},
        TTextCase{"EuroToEuroNeedsNoRow", "5", "EUR", "EUR", 2, 64, 0, "5"},
        TTextCase{"SmallLetters", "100", "frf", "eUr", 2, 64, 0, "15.24"},
        TTextCase{"UnknownSource", "1", "USD", "EUR", 2, 64, 2, ""},
        TTextCase{"UnknownTarget", "1", "FRF", "USD", 2, 64, 2, ""},
        TTextCase{"EmptyCode", "1", "", "EUR", 2, 64, 2, ""},
        // The buffer is the work area: it must hold the quotient "15.244"
        // before it is rounded.
        TTextCase{"WorkAreaDoesNotFit", "100", "FRF", "EUR", 2, 6, 2, ""},
        TTextCase{"WorkAreaJustFits", "100", "FRF", "EUR", 2, 7, 0, "15.24"},
        TTextCase{"SameCurrencyAmountDoesNotFit", "123.45", "FRF", "FRF", 2, 6, 3, ""},
        TTextCase{"SameCurrencyAmountJustFits", "123.45", "FRF", "FRF", 2, 7, 0, "123.45"},
        TTextCase{"NoBuffer", "100", "FRF", "EUR", 2, 0, 2, ""},
        TTextCase{"HugeDecimalsDoNotFit", "1", "FRF", "EUR", 2147483647, 64, 2, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextConversion, NullTextsAreEmpty) {
  char out[16];
  EXPECT_EQ(euro_Conversion(nullptr, "FRF", out, "EUR", sizeof out, 2), 0);
  EXPECT_STREQ(out, "0.00");
  EXPECT_EQ(euro_Conversion("1", nullptr, out, "EUR", sizeof out, 2), 2);
  EXPECT_EQ(euro_Conversion("1", "FRF", nullptr, "EUR", sizeof out, 2), 2);
}

struct TDoubleCase {
  const char* name;
  double amount;
  int input_decimals;
  const char* source;
  const char* target;
  int decimals;
  int code;
  double result;
};

class DoubleConversion : public ::testing::TestWithParam<TDoubleCase> {};

TEST_P(DoubleConversion, WritesTheAmountWithItsDecimals) {
  const TDoubleCase& c = GetParam();
  double result = -999.0;
  EXPECT_EQ(euro_Conversion(c.amount, c.input_decimals, c.source, result, c.target, c.decimals),
            c.code);
  EXPECT_EQ(result, c.code == 0 ? c.result : -999.0);
}

INSTANTIATE_TEST_SUITE_P(
    Changeover, DoubleConversion,
    ::testing::Values(TDoubleCase{"FrancsToEuros", 100.0, 2, "FRF", "EUR", 2, 0, 15.24},
                      // 0 input decimals still writes "100.00": the euro step has 3 decimals.
                      TDoubleCase{"NoInputDecimalsMeansTwo", 100.0, 0, "FRF", "DEM", 2, 0, 29.82},
                      TDoubleCase{"OneInputDecimal", 100.0, 1, "FRF", "DEM", 2, 0, 29.81},
                      TDoubleCase{"NegativeResultDecimals", 100.0, 3, "FRF", "EUR", -1, 0, 15.245},
                      TDoubleCase{"AmountRoundedWhenWritten", 0.125, 2, "EUR", "EUR", 2, 0, 0.12},
                      TDoubleCase{"UnknownCurrencyLeavesResult", 1.0, 2, "EUR", "XEU", 2, 2, 0.0},
                      TDoubleCase{"ResultTooLongForTheInternalBuffer", 1e60, 2, "EUR", "FRF", 2, 2,
                                  0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConversionError, GivesTheRoundTripDifference) {
  char out[32], difference[32];
  ASSERT_EQ(euro_ConversionError("100.00", "FRF", out, "EUR", sizeof out, 2, difference,
                                 sizeof difference),
            0);
  EXPECT_STREQ(out, "15.24");
  EXPECT_STREQ(difference, "0.03");  // 15.24 EUR is 99.97 FRF

  ASSERT_EQ(
      euro_ConversionError("1.00", "EUR", out, "FRF", sizeof out, 2, difference, sizeof difference),
      0);
  EXPECT_STREQ(out, "6.56");
  EXPECT_STREQ(difference, "0.00");

  // Between two legacy currencies the way back goes through the euro too:
  // 29.82 DEM -> 15.247 EUR -> 100.01 FRF.
  ASSERT_EQ(euro_ConversionError("100.00", "FRF", out, "DEM", sizeof out, 2, difference,
                                 sizeof difference),
            0);
  EXPECT_STREQ(out, "29.82");
  EXPECT_STREQ(difference, "-0.01");
}

TEST(ConversionError, ReportsTheFirstFailure) {
  char out[32], difference[4];
  EXPECT_EQ(euro_ConversionError("100.00", "FRF", out, "USD", sizeof out, 2, difference, 32), 2);
  EXPECT_EQ(euro_ConversionError("100.00", "FRF", out, "EUR", 5, 2, difference, 32), 2);
  // The way back does not fit into the difference buffer.
  EXPECT_EQ(euro_ConversionError("100.00", "FRF", out, "EUR", sizeof out, 2, difference,
                                 sizeof difference),
            2);
}

TEST(ConversionError, DoubleOverload) {
  double result = 0, difference = 0;
  ASSERT_EQ(euro_ConversionError(100.0, 2, "FRF", result, "EUR", 2, difference), 0);
  EXPECT_EQ(result, 15.24);
  EXPECT_EQ(difference, 0.03);
  // The difference is read from a 21-byte text.
  EXPECT_EQ(euro_ConversionError(1e20, 2, "FRF", result, "EUR", 2, difference), 2);
}

}  // namespace
