// euro_Conversion against an independent exact computation: every pair of
// the thirteen currencies of the euro zone, several result decimals, many
// random amounts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "eurolib/orveuro32.h"
#include "eurolib/test_big_decimal.h"

namespace ledgora::eurolib::testing {
namespace {

struct TParity {
  const char* code;
  const char* units_for_one_euro;  // empty for the euro itself
};

// The changeover's parities, written out again here so that the library's
// own table is checked, not restated.
constexpr TParity kZone[] = {
    {"EUR", ""},        {"FRF", "6.55957"}, {"DEM", "1.95583"}, {"ATS", "13.7603"},
    {"BEF", "40.3399"}, {"ESP", "166.386"}, {"FIM", "5.94573"}, {"IEP", "0.787564"},
    {"ITL", "1936.27"}, {"LUF", "40.3399"}, {"NLG", "2.20371"}, {"PTE", "200.482"},
    {"GRD", "340.75"},
};

TBig PowerOfTen(std::size_t n) {
  return "1" + std::string(n, '0');
}

// x * 10^up / 10^down, rounded half away from zero.
TBig Rescale(const TBig& x, std::size_t up, std::size_t down) {
  if (up >= down) return Shift(x, up - down);
  return DivRounded(x, PowerOfTen(down - up));
}

struct TExpected {
  TBig magnitude;     // at `decimals` fraction digits
  std::size_t scale;  // the fraction digits the result text carries
};

// What a conversion of amount (a fraction digits) must give with R result
// decimals: the euro step rounded to a + 1 decimals, the result rounded to R;
// a product written with fewer digits than the rounding place is not padded.
TExpected Expect(const TExact& amount, const TParity& s, const TParity& t, std::size_t r) {
  const std::size_t a = amount.scale;
  const std::size_t e = a + 1;
  if (std::string_view(s.code) == t.code) {
    return {Rescale(amount.digits, r, a), std::min(a, r)};
  }
  const TExact ps = ParseExact(s.units_for_one_euro);
  const TExact pt = ParseExact(t.units_for_one_euro);
  if (std::string_view(t.code) == "EUR") {
    // amount / ps = N * 10^ps.scale / (P * 10^a)
    return {DivRounded(Shift(amount.digits, ps.scale + r), Shift(ps.digits, a)), r};
  }
  TBig euros = amount.digits;
  std::size_t euro_scale = a;
  if (std::string_view(s.code) != "EUR") {
    euros = DivRounded(Shift(amount.digits, ps.scale + e), Shift(ps.digits, a));
    euro_scale = e;
  }
  const std::size_t product_scale = euro_scale + pt.scale;
  const std::size_t kept = std::min(product_scale, std::max({r + 1, euro_scale, pt.scale}));
  return {Rescale(Mul(euros, pt.digits), r, product_scale), kept <= r ? kept : r};
}

std::string RandomAmount(std::mt19937& rng) {
  std::uniform_int_distribution<int> digit(0, 9), length(1, 13), decimals(0, 4), sign(0, 5);
  std::string text;
  const int s = sign(rng);
  if (s == 0) text = "-";
  if (s == 1) text = "+";
  if (s == 2) text += "-0";  // a leading zero
  const int n = length(rng);
  for (int i = 0; i < n; ++i) text += static_cast<char>('0' + digit(rng));
  const int d = decimals(rng);
  if (d > 0) {
    text += '.';
    for (int i = 0; i < d; ++i) text += static_cast<char>('0' + digit(rng));
  }
  return text;
}

bool IsWrittenNumber(const std::string& text) {
  // "-" only for a negative number, no "+", no leading zero.
  std::size_t p = text[0] == '-' ? 1 : 0;
  if (p >= text.size() || !isdigit(static_cast<unsigned char>(text[p]))) return false;
  if (text[p] == '0' && p + 1 < text.size() && text[p + 1] != '.') return false;
  return text.find_first_not_of("0123456789.", p) == std::string::npos;
}

TEST(ConversionProperty, EveryPairEqualsTheExactValueRounded) {
  std::mt19937 rng(20020217);
  const int result_decimals[] = {-1, 0, 1, 2, 3, 6};
  int checked = 0;
  for (const TParity& s : kZone) {
    for (const TParity& t : kZone) {
      for (const int d : result_decimals) {
        for (int i = 0; i < 25; ++i) {
          const std::string amount = RandomAmount(rng);
          const TExact exact = ParseExact(amount);
          const std::size_t r = d >= 0 ? static_cast<std::size_t>(d) : exact.scale;
          const TExpected expected = Expect(exact, s, t, r);

          char out[80];
          const int code = euro_Conversion(amount.c_str(), s.code, out, t.code, sizeof out, d);
          SCOPED_TRACE(amount + " " + s.code + " -> " + t.code + " with " + std::to_string(d));
          ASSERT_EQ(code, 0);
          const std::string text(out);
          if (std::string_view(s.code) == t.code) {
            // The same currency: the amount itself, only rounded when it has
            // more decimals than asked.
            if (exact.scale <= r) {
              ASSERT_EQ(text, amount);
            }
          } else {
            ASSERT_TRUE(IsWrittenNumber(text)) << text;
          }
          const TExact got = ParseExact(text);
          ASSERT_EQ(got.scale, expected.scale) << text;
          ASSERT_EQ(AtScale(got, r), expected.magnitude) << text;
          ASSERT_EQ(got.negative, exact.negative && expected.magnitude != "0") << text;
          ++checked;
        }
      }
    }
  }
  EXPECT_EQ(checked, 13 * 13 * 6 * 25);
}

// The double overload writes the amount with its input decimals and reads the
// exact text result back: for amounts in cents it gives the double nearest to
// the exact rounded value.
TEST(ConversionProperty, DoubleOverloadGivesTheNearestDoubleOfTheExactResult) {
  std::mt19937 rng(19990101);
  std::uniform_int_distribution<long long> cents(-99999999999LL, 99999999999LL);
  for (const TParity& s : kZone) {
    for (const TParity& t : kZone) {
      for (int i = 0; i < 10; ++i) {
        const long long c = cents(rng);
        const long long whole = std::llabs(c) / 100, fraction = std::llabs(c) % 100;
        const std::string amount = (c < 0 ? "-" : "") + std::to_string(whole) + "." +
                                   (fraction < 10 ? "0" : "") + std::to_string(fraction);
        const TExpected expected = Expect(ParseExact(amount), s, t, 2);
        std::string text = expected.magnitude;
        while (text.size() < 3) text.insert(text.begin(), '0');
        text.insert(text.size() - 2, ".");
        const double value = std::strtod(text.c_str(), nullptr) * (c < 0 ? -1 : 1);

        double result = 12345.0;
        SCOPED_TRACE(amount + " " + s.code + " -> " + t.code);
        ASSERT_EQ(euro_Conversion(static_cast<double>(c) / 100.0, 2, s.code, result, t.code, 2), 0);
        ASSERT_EQ(result, value);
      }
    }
  }
}

}  // namespace
}  // namespace ledgora::eurolib::testing
