// The exact decimal operations against the plain helper, their truncation
// rules, the rounding modes and the failures.
#include "eurolib/decimal_number.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "eurolib/test_big_decimal.h"

namespace ledgora::eurolib {
namespace {

using testing::AtScale;
using testing::DivMod;
using testing::ParseExact;
using testing::TBig;
using testing::TExact;

std::string RandomNumber(std::mt19937& rng, int max_integer_digits, int max_scale) {
  std::uniform_int_distribution<int> digit(0, 9), sign(0, 1);
  std::uniform_int_distribution<int> integer_digits(1, max_integer_digits), scale(0, max_scale);
  std::string text = sign(rng) ? "-" : "";
  const int n = integer_digits(rng);
  for (int i = 0; i < n; ++i) text += static_cast<char>('0' + digit(rng));
  const int s = scale(rng);
  if (s > 0) {
    text += '.';
    for (int i = 0; i < s; ++i) text += static_cast<char>('0' + digit(rng));
  }
  return text;
}

std::string Operate(int (*op)(std::string_view, std::string_view, std::size_t, char*, std::size_t),
                    const std::string& a, const std::string& b, std::size_t scale) {
  char out[256];
  EXPECT_EQ(op(a, b, scale, out, sizeof out), kOk) << a << " " << b;
  return out;
}

// The value of a result text at a given scale, with its sign.
void ExpectValue(const std::string& text, bool negative, const TBig& magnitude, std::size_t scale) {
  const TExact got = ParseExact(text);
  EXPECT_EQ(got.scale, scale) << text;
  EXPECT_EQ(AtScale(got, scale), magnitude) << text;
  EXPECT_EQ(got.negative, negative && magnitude != "0") << text;
  if (magnitude == "0") {
    EXPECT_NE(text[0], '-') << text;  // zero is positive
  }
}

TEST(DecimalNumber, DivisionTruncatesToTheRequestedScale) {
  // Long divisors exercise the digit estimate, its correction and the
  // adding back of the divisor.
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    const std::string a = RandomNumber(rng, 30, 8);
    std::string b = RandomNumber(rng, 18, 8);
    if (ParseExact(b).digits == "0") b = "7";
    const std::size_t scale = static_cast<std::size_t>(rng() % 12);
    const TExact x = ParseExact(a), y = ParseExact(b);
    // |a / b| * 10^scale = X * 10^(y.scale + scale) / (Y * 10^x.scale)
    const TBig q =
        DivMod(testing::Shift(x.digits, y.scale + scale), testing::Shift(y.digits, x.scale)).first;
    SCOPED_TRACE(a + " / " + b);
    ExpectValue(Operate(DecimalDivide, a, b, scale), x.negative != y.negative, q, scale);
  }
}

TEST(DecimalNumber, MultiplicationKeepsItsScaleRule) {
  std::mt19937 rng(11);
  for (int i = 0; i < 2000; ++i) {
    const std::string a = RandomNumber(rng, 15, 6), b = RandomNumber(rng, 15, 6);
    const std::size_t requested = static_cast<std::size_t>(rng() % 14);
    const TExact x = ParseExact(a), y = ParseExact(b);
    const std::size_t full = x.scale + y.scale;
    const std::size_t kept = std::min(full, std::max({requested, x.scale, y.scale}));
    const TBig product = testing::Mul(x.digits, y.digits);
    const TBig truncated = DivMod(product, "1" + std::string(full - kept, '0')).first;
    SCOPED_TRACE(a + " * " + b);
    ExpectValue(Operate(DecimalMultiply, a, b, requested), x.negative != y.negative, truncated,
                kept);
  }
}

TEST(DecimalNumber, AdditionAndSubtractionAreExact) {
  std::mt19937 rng(13);
  for (int i = 0; i < 2000; ++i) {
    const std::string a = RandomNumber(rng, 20, 6), b = RandomNumber(rng, 20, 6);
    const std::size_t requested = static_cast<std::size_t>(rng() % 9);
    const TExact x = ParseExact(a), y = ParseExact(b);
    const std::size_t scale = std::max({requested, x.scale, y.scale});
    const TBig xs = AtScale(x, scale), ys = AtScale(y, scale);
    for (const bool subtract : {false, true}) {
      const bool y_negative = y.negative != subtract;
      bool negative = x.negative;
      TBig magnitude;
      if (x.negative == y_negative) {
        magnitude = testing::Add(xs, ys);
      } else if (testing::Compare(xs, ys) >= 0) {
        magnitude = testing::Sub(xs, ys);
      } else {
        magnitude = testing::Sub(ys, xs);
        negative = y_negative;
      }
      SCOPED_TRACE(a + (subtract ? " - " : " + ") + b);
      ExpectValue(Operate(subtract ? DecimalSubtract : DecimalAdd, a, b, requested), negative,
                  magnitude, scale);
    }
  }
}

TEST(DecimalNumber, TextsOfOtherFormsAreZero) {
  for (const char* text : {"", "12,5", " 12", "1e3", "12.", ".5", "+-1", "1.2.3", "abc", "--1"}) {
    EXPECT_FALSE(DecimalNumber::IsAmountText(text)) << text;
    EXPECT_EQ(DecimalNumber::FromText(text).ToText(), "0") << text;
  }
  EXPECT_EQ(DecimalNumber::FromText("-000.0100").ToText(), "-0.0100");
  EXPECT_EQ(DecimalNumber::FromText("-0.00").ToText(), "0.00");
  EXPECT_EQ(DecimalNumber::FromText("+007").ToText(), "7");
}

TEST(DecimalNumber, Failures) {
  char out[8];
  EXPECT_EQ(DecimalDivide("1", "0.000", 2, out, sizeof out), kDivisionByZero);
  EXPECT_EQ(DecimalDivide("1", "abc", 2, out, sizeof out), kDivisionByZero);
  EXPECT_EQ(DecimalDivide("1", "3", 6, out, sizeof out), kTooSmall);  // "0.333333" needs 9
  EXPECT_EQ(DecimalDivide("1", "3", 5, out, sizeof out), kOk);
  EXPECT_STREQ(out, "0.33333");
  // An absurd scale is refused before any digit is computed.
  EXPECT_EQ(DecimalDivide("1", "3", std::size_t{1} << 60, out, sizeof out), kTooSmall);
  EXPECT_EQ(DecimalAdd("1", "2", std::size_t{1} << 60, out, sizeof out), kTooSmall);
  EXPECT_EQ(DecimalMultiply("99999", "99999", 0, out, sizeof out), kTooSmall);
  EXPECT_EQ(DecimalAdd("1", "2", 0, nullptr, 8), kTooSmall);
}

struct TRoundCase {
  const char* name;
  const char* text;
  std::size_t decimals;
  TRoundMode mode;
  const char* result;
};

class Rounding : public ::testing::TestWithParam<TRoundCase> {};

TEST_P(Rounding, GivesTheText) {
  const TRoundCase& c = GetParam();
  char out[32];
  ASSERT_EQ(RoundAmountText(c.text, c.decimals, c.mode, out, sizeof out), kOk);
  EXPECT_STREQ(out, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Rounding,
    ::testing::Values(TRoundCase{"HalfUp", "15.245", 2, TRoundMode::HalfUp, "15.25"},
                      TRoundCase{"HalfUpBelowHalf", "15.2449", 2, TRoundMode::HalfUp, "15.24"},
                      TRoundCase{"HalfUpNegative", "-15.245", 2, TRoundMode::HalfUp, "-15.25"},
                      TRoundCase{"HalfUpCarries", "9.995", 2, TRoundMode::HalfUp, "10.00"},
                      TRoundCase{"HalfUpToUnits", "2.5", 0, TRoundMode::HalfUp, "3"},
                      TRoundCase{"HalfUpBelowOne", "0.5", 0, TRoundMode::HalfUp, "1"},
                      TRoundCase{"NotPadded", "2.5", 3, TRoundMode::HalfUp, "2.5"},
                      TRoundCase{"NoPoint", "25", 0, TRoundMode::HalfUp, "25"},
                      TRoundCase{"NegativeZeroLosesItsSign", "-0.004", 2, TRoundMode::HalfUp,
                                 "0.00"},
                      TRoundCase{"Truncate", "15.249", 2, TRoundMode::Truncate, "15.24"},
                      TRoundCase{"TruncateNegative", "-15.249", 0, TRoundMode::Truncate, "-15"},
                      TRoundCase{"UpOnAnyDigit", "15.2401", 2, TRoundMode::Up, "15.25"},
                      TRoundCase{"UpNotOnZeros", "15.2400", 2, TRoundMode::Up, "15.24"},
                      TRoundCase{"UpNegativeAwayFromZero", "-0.001", 2, TRoundMode::Up, "-0.01"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rounding, ResultMustFit) {
  char out[6];
  EXPECT_EQ(RoundAmountText("99.995", 2, TRoundMode::HalfUp, out, 6), kTooSmall);  // "100.00"
  EXPECT_EQ(RoundAmountText("99.994", 2, TRoundMode::HalfUp, out, 6), kOk);
  EXPECT_STREQ(out, "99.99");
}

}  // namespace
}  // namespace ledgora::eurolib
