#include "foundation/amount.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "foundation/cp1252.h"

namespace ledgora {
namespace {

int ClampDecimals(int decimals) {
  if (decimals < 0) return 0;
  return decimals > kMaxAmountDecimals ? kMaxAmountDecimals : decimals;
}

// True when the exact value of v (finite, > 0) lies exactly halfway between
// two multiples of 10^-n. Writing v = m / 2^u with m odd, v * 10^n has the
// odd numerator m * 5^n over 2^(u - n): its fraction is one half exactly
// when u = n + 1.
bool IsHalfway(double v, int n) {
  int exponent = 0;
  const double fraction = std::frexp(v, &exponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  if (mantissa == 0) return false;
  const long u = -(static_cast<long>(exponent) - 53 + std::countr_zero(mantissa));
  return u == n + 1;
}

// |v| with n decimals and a point, rounded half away from zero on the exact
// binary value. to_chars rounds exactly but sends exact ties to even, so a
// tie is written with its one extra digit (exact) and rounded up by hand.
std::string FixedAbs(double v, int n) {
  v = std::fabs(v);
  char buf[400];  // 309 integer digits, the point, kMaxAmountDecimals + 1
  if (v != 0 && IsHalfway(v, n)) {
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, n + 1);
    std::string s(buf, r.ptr);
    s.pop_back();              // the '5'
    if (n == 0) s.pop_back();  // the point
    std::ptrdiff_t i = static_cast<std::ptrdiff_t>(s.size()) - 1;
    for (; i >= 0; --i) {
      if (s[i] == '.') continue;
      if (s[i] != '9') {
        ++s[i];
        break;
      }
      s[i] = '0';
    }
    if (i < 0) s.insert(s.begin(), '1');
    return s;
  }
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, n);
  return std::string(buf, r.ptr);
}

// What the C library writes for the values that are not numbers.
const char* NonFiniteText(double v) {
  if (std::isnan(v)) return "nan";
  return v < 0 ? "-inf" : "inf";
}

void AppendSeparator(std::string& out, char separator) {
  const auto byte = static_cast<unsigned char>(separator);
  if (byte < 0x80) {
    out.push_back(separator);
  } else {
    AppendUtf8(out, Cp1252ToCodePoint(byte));
  }
}

// Integer digits grouped by three from their right end.
void AppendGrouped(std::string& out, std::string_view digits, char thousands) {
  for (std::size_t i = 0; i < digits.size(); ++i) {
    out.push_back(digits[i]);
    const std::size_t remaining = digits.size() - i - 1;
    if (thousands != 0 && remaining > 0 && remaining % 3 == 0) AppendSeparator(out, thousands);
  }
}

// The display form once the zero band is ruled out: fixed text of the
// absolute value, grouped integer digits, separator, decimals, sign first.
std::string DisplayForm(double amount, int decimals, char thousands, char decimal) {
  const std::string fixed = FixedAbs(amount, decimals);
  const std::size_t point = fixed.find('.');
  const std::string_view digits = std::string_view(fixed).substr(0, point);
  std::string out;
  if (amount < 0) out.push_back('-');
  AppendGrouped(out, digits, thousands);
  // A decimal separator of 0 ended the C string before the decimals.
  if (point != std::string::npos && decimal != 0) {
    AppendSeparator(out, decimal);
    out.append(fixed, point + 1);
  }
  return out;
}

std::string ZeroForm(int decimals, char decimal) {
  std::string out = "0";
  if (decimals >= 1 && decimal != 0) {
    AppendSeparator(out, decimal);
    out.append(static_cast<std::size_t>(decimals), '0');
  }
  return out;
}

char* CopyOut(const std::string& text, char* out) {
  std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The platform's text-to-double reading: leading white space, optional sign,
// digits, point, digits, optional exponent; stops at the first other
// character. Neither "inf" nor "nan" nor hexadecimal forms are numbers here,
// and a number outside the range of a double reads as 0: an amount is never
// infinite.
double ReadDecimal(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsCSpace(s[i])) ++i;
  std::string number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') number.push_back('-');
    ++i;
  }
  bool any_digit = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    number.push_back(s[i++]);
    any_digit = true;
  }
  if (i < s.size() && s[i] == '.') {
    number.push_back(s[i++]);
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      number.push_back(s[i++]);
      any_digit = true;
    }
  }
  if (!any_digit) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
    const std::size_t first_digit = j;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') exponent.push_back(s[j++]);
    if (j > first_digit) number += exponent;
  }
  double value = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value,
                                 std::chars_format::general);
  if (r.ec != std::errc()) return 0;
  return value;
}

// A whole number: leading white space, optional sign, digits.
double ReadWhole(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsCSpace(s[i])) ++i;
  std::string number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') number.push_back('-');
    ++i;
  }
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') number.push_back(s[i++]);
  double value = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value,
                                 std::chars_format::fixed);
  if (r.ec != std::errc()) return 0;
  return value;
}

TAmountAutoSeparators& AutoSeparators() {
  static TAmountAutoSeparators separators;
  return separators;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsCSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsCSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view ViewOf(const char* text) {
  return text ? std::string_view(text) : std::string_view();
}

char* ReplaceFirst(char* text, char from, char to) {
  if (!text) return nullptr;
  char* p = std::strchr(text, from);
  if (p) *p = to;
  return p;
}

std::optional<std::size_t> ReplaceFirst(std::string& text, char from, char to) {
  const std::size_t pos = text.find(from);
  if (pos == std::string::npos) return std::nullopt;
  text[pos] = to;
  return pos;
}

}  // namespace

std::string FormatAmount(double amount, char thousands, char decimal) {
  if (!std::isfinite(amount)) return NonFiniteText(amount);
  // Phase 1: the zero band, written without sign.
  if (amount > -0.0005 && amount < 0.0005) return ZeroForm(2, decimal);
  // Phases 2 to 4: rounded absolute value, grouping, sign.
  return DisplayForm(amount, 2, thousands, decimal);
}

char* FormatAmount(double amount, char* out, char thousands, char decimal) {
  return CopyOut(FormatAmount(amount, thousands, decimal), out);
}

std::string FormatAmountDec(double amount, int decimals, char thousands, char decimal) {
  decimals = ClampDecimals(decimals);
  if (!std::isfinite(amount)) return NonFiniteText(amount);
  if (amount > -0.000005 && amount < 0.000005) return ZeroForm(decimals, decimal);
  return DisplayForm(amount, decimals, thousands, decimal);
}

char* FormatAmountDec(double amount, char* out, int decimals, char thousands, char decimal) {
  return CopyOut(FormatAmountDec(amount, decimals, thousands, decimal), out);
}

std::string FormatAmountUS(double amount) {
  if (!std::isfinite(amount)) return NonFiniteText(amount);
  return DisplayForm(amount, 2, ',', '.');
}

char* FormatAmountUS(double amount, char* out) {
  return CopyOut(FormatAmountUS(amount), out);
}

const char* AmountText(double amount) {
  static char buffer[kAmountBufferSize];
  std::string text;
  if (!std::isfinite(amount)) {
    text = NonFiniteText(amount);
  } else {
    if (std::signbit(amount)) text.push_back('-');
    text += FixedAbs(amount, 2);
    ReplaceFirst(text, '.', ',');
  }
  return CopyOut(text, buffer);
}

const char* AmountTextDec(double amount, int decimals) {
  static char buffer[kAmountBufferSize];
  decimals = ClampDecimals(decimals);
  std::string text;
  if (!std::isfinite(amount)) {
    text = NonFiniteText(amount);
  } else {
    if (std::signbit(amount)) text.push_back('-');
    text += FixedAbs(amount, decimals);
    ReplaceFirst(text, '.', ',');
  }
  return CopyOut(text, buffer);
}

double ParseAmount(std::string_view text) {
  std::string copy;
  copy.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ') continue;
    // A no-break space (U+00A0) is the thousands separator of some French
    // settings: it separates digits like a space.
    if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
      ++i;
      continue;
    }
    copy.push_back(c == ',' ? '.' : c);
  }
  return ReadDecimal(copy);
}

void ParseAmount(double& amount, const char* text) {
  amount = ParseAmount(ViewOf(text));
}

double ParseAmountUS(std::string_view text) {
  std::string copy;
  copy.reserve(text.size());
  for (const char c : text) {
    if (c != ',') copy.push_back(c);
  }
  return ReadDecimal(copy);
}

void ParseAmountUS(double& amount, const char* text) {
  amount = ParseAmountUS(ViewOf(text));
}

double ParseAmountAuto(std::string_view text) {
  // Blanks around the text would count as separators and shift the decision
  // (a trailing space makes the decimal comma look like a thousands one).
  text = TrimBlanks(text);
  TAmountAutoSeparators& seps = AutoSeparators();
  // Phase 1: the separators the text shows. The two roles never hold the
  // same character: the role a text gives to a character is taken from the
  // other role, which gets the first one's previous character (otherwise
  // "12.5" after the initial "." would read the point as a decimal point).
  const auto assign = [](char& role, char& other, char c) {
    if (c == role) return;
    if (c == other) other = role;
    role = c;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != ' ' && c != ',' && c != '.') continue;
    if (text.size() - i - 1 == 2) {
      assign(seps.decimal, seps.thousands, c);
    } else {
      assign(seps.thousands, seps.decimal, c);
    }
  }
  // Phase 2: integer and fraction parts.
  std::string integer_part;
  std::string fraction_part;
  bool in_fraction = false;
  for (const char c : text) {
    if (!in_fraction && c == seps.decimal) {
      in_fraction = true;
      continue;
    }
    if (c == seps.thousands) continue;
    (in_fraction ? fraction_part : integer_part).push_back(c);
  }
  // Phase 3: the fraction counts in hundredths, against the sign.
  const double whole = ReadDecimal(integer_part);
  const double hundredths = ReadWhole(fraction_part) * 0.01;
  return (!text.empty() && text.front() == '-') ? whole - hundredths : whole + hundredths;
}

void ParseAmountAuto(double& amount, const char* text) {
  amount = ParseAmountAuto(ViewOf(text));
}

TAmountAutoSeparators AmountAutoSeparators() {
  return AutoSeparators();
}

void ResetAmountAutoSeparators() {
  AutoSeparators() = TAmountAutoSeparators{};
}

char* CommaToDot(char* text) {
  return ReplaceFirst(text, ',', '.');
}
char* DotToComma(char* text) {
  return ReplaceFirst(text, '.', ',');
}
std::optional<std::size_t> CommaToDot(std::string& text) {
  return ReplaceFirst(text, ',', '.');
}
std::optional<std::size_t> DotToComma(std::string& text) {
  return ReplaceFirst(text, '.', ',');
}

}  // namespace ledgora
