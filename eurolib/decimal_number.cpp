#include "eurolib/decimal_number.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace ledgora::eurolib {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

using TDigits = std::vector<std::uint8_t>;

// The digits of an integer without its leading zeros (empty for zero).
TDigits StripLeadingZeros(const TDigits& digits) {
  auto first = std::find_if(digits.begin(), digits.end(), [](std::uint8_t d) { return d != 0; });
  return TDigits(first, digits.end());
}

// -1, 0, 1 for a < b, a == b, a > b; both of the same length.
int CompareSameLength(const TDigits& a, const TDigits& b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

int CompareIntegers(const TDigits& a, const TDigits& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return CompareSameLength(a, b);
}

// The schoolbook long division of two integers (no leading zeros, v not
// empty): the quotient's digits, most significant first.
//
// Both operands are first scaled by 10 / (first divisor digit + 1), which
// makes the first divisor digit 5 or more without changing the quotient.
// Each quotient digit is then estimated from the first two digits of the
// partial remainder, corrected with the second divisor digit (after which it
// is at most one too large), and a partial remainder that still turns
// negative adds the divisor back and lowers the digit by one.
TDigits LongDivide(const TDigits& dividend, const TDigits& divisor) {
  const std::size_t n = divisor.size();
  if (dividend.size() < n) return TDigits{0};
  const std::size_t m = dividend.size() - n;

  if (n == 1) {
    TDigits q(dividend.size());
    unsigned remainder = 0;
    for (std::size_t i = 0; i < dividend.size(); ++i) {
      const unsigned t = remainder * 10 + dividend[i];
      q[i] = static_cast<std::uint8_t>(t / divisor[0]);
      remainder = t % divisor[0];
    }
    return q;
  }

  // Step 1: normalise.
  const unsigned scale = 10 / (divisor[0] + 1u);
  TDigits u(dividend.size() + 1, 0);
  unsigned carry = 0;
  for (std::size_t i = dividend.size(); i-- > 0;) {
    const unsigned t = dividend[i] * scale + carry;
    u[i + 1] = static_cast<std::uint8_t>(t % 10);
    carry = t / 10;
  }
  u[0] = static_cast<std::uint8_t>(carry);
  TDigits v(n);
  carry = 0;
  for (std::size_t i = n; i-- > 0;) {
    const unsigned t = divisor[i] * scale + carry;
    v[i] = static_cast<std::uint8_t>(t % 10);
    carry = t / 10;
  }

  TDigits q(m + 1);
  for (std::size_t j = 0; j <= m; ++j) {
    // Step 2: estimate the digit from the first two remainder digits and
    // correct it with the second divisor digit.
    const unsigned top = u[j] * 10u + u[j + 1];
    unsigned qhat = top / v[0];
    unsigned rhat = top % v[0];
    while (qhat >= 10 || qhat * v[1] > rhat * 10 + u[j + 2]) {
      --qhat;
      rhat += v[0];
      if (rhat >= 10) break;
    }
    // Step 3: subtract qhat times the divisor from the partial remainder.
    int borrow = 0;
    unsigned product_carry = 0;
    for (std::size_t i = n; i-- > 0;) {
      const unsigned p = qhat * v[i] + product_carry;
      product_carry = p / 10;
      int t = static_cast<int>(u[j + i + 1]) - static_cast<int>(p % 10) - borrow;
      borrow = t < 0;
      if (t < 0) t += 10;
      u[j + i + 1] = static_cast<std::uint8_t>(t);
    }
    int t = static_cast<int>(u[j]) - static_cast<int>(product_carry) - borrow;
    if (t < 0) {
      // Step 4: the remainder turned negative: add the divisor back.
      u[j] = static_cast<std::uint8_t>(t + 10);
      unsigned add_carry = 0;
      for (std::size_t i = n; i-- > 0;) {
        const unsigned s = u[j + i + 1] + v[i] + add_carry;
        u[j + i + 1] = static_cast<std::uint8_t>(s % 10);
        add_carry = s / 10;
      }
      u[j] = static_cast<std::uint8_t>((u[j] + add_carry) % 10);
      --qhat;
    } else {
      u[j] = static_cast<std::uint8_t>(t);
    }
    q[j] = static_cast<std::uint8_t>(qhat);
  }
  return q;
}

// The lower bound of the length of a written number with this scale,
// terminator included: one integer digit, and the point with the fraction.
bool CanFit(std::size_t scale, std::size_t size) {
  if (scale == 0) return size >= 2;
  return scale < size && size - scale >= 3;
}

}  // namespace

DecimalNumber::DecimalNumber(bool negative, std::size_t integer_digits, std::size_t scale,
                             std::vector<std::uint8_t> digits)
    : negative_(negative),
      integer_digits_(integer_digits),
      scale_(scale),
      digits_(std::move(digits)) {
  Normalise();
}

void DecimalNumber::Normalise() {
  std::size_t leading = 0;
  while (leading + 1 < integer_digits_ && digits_[leading] == 0) ++leading;
  if (leading > 0) {
    digits_.erase(digits_.begin(), digits_.begin() + static_cast<std::ptrdiff_t>(leading));
    integer_digits_ -= leading;
  }
  if (integer_digits_ == 0) {
    digits_.insert(digits_.begin(), 0);
    integer_digits_ = 1;
  }
  if (IsZero()) negative_ = false;
}

bool DecimalNumber::IsZero() const {
  return std::all_of(digits_.begin(), digits_.end(), [](std::uint8_t d) { return d == 0; });
}

bool DecimalNumber::IsAmountText(std::string_view text) {
  std::size_t p = 0;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
  const std::size_t integer_begin = p;
  while (p < text.size() && IsDigit(text[p])) ++p;
  if (p == integer_begin) return false;
  if (p == text.size()) return true;
  if (text[p] != '.') return false;
  const std::size_t fraction_begin = ++p;
  while (p < text.size() && IsDigit(text[p])) ++p;
  return p > fraction_begin && p == text.size();
}

DecimalNumber DecimalNumber::FromText(std::string_view text) {
  if (!IsAmountText(text)) return DecimalNumber();
  std::size_t p = 0;
  bool negative = false;
  if (text[p] == '+' || text[p] == '-') negative = text[p++] == '-';
  TDigits digits;
  digits.reserve(text.size());
  std::size_t integer_digits = 0;
  while (p < text.size() && IsDigit(text[p])) {
    digits.push_back(static_cast<std::uint8_t>(text[p++] - '0'));
    ++integer_digits;
  }
  std::size_t scale = 0;
  if (p < text.size()) {
    ++p;  // the point
    while (p < text.size()) {
      digits.push_back(static_cast<std::uint8_t>(text[p++] - '0'));
      ++scale;
    }
  }
  return DecimalNumber(negative, integer_digits, scale, std::move(digits));
}

std::string DecimalNumber::ToText() const {
  std::string text;
  text.reserve(digits_.size() + 2);
  if (negative_) text.push_back('-');
  for (std::size_t i = 0; i < digits_.size(); ++i) {
    if (i == integer_digits_) text.push_back('.');
    text.push_back(static_cast<char>('0' + digits_[i]));
  }
  return text;
}

namespace {

// Both magnitudes written with the same count of integer digits (one more
// than the longer, for a carry) and the same scale.
struct TAligned {
  TDigits a, b;
  std::size_t integer_digits;
};

TAligned Align(const DecimalNumber& a, const DecimalNumber& b, std::size_t scale) {
  const std::size_t integer_digits = std::max(a.IntegerDigits(), b.IntegerDigits()) + 1;
  auto widen = [&](const DecimalNumber& x) {
    TDigits d(integer_digits + scale, 0);
    const std::size_t offset = integer_digits - x.IntegerDigits();
    std::copy(x.Digits().begin(), x.Digits().end(),
              d.begin() + static_cast<std::ptrdiff_t>(offset));
    return d;
  };
  return TAligned{widen(a), widen(b), integer_digits};
}

TDigits AddMagnitudes(const TDigits& a, const TDigits& b) {
  TDigits sum(a.size());
  unsigned carry = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    const unsigned t = a[i] + b[i] + carry;
    sum[i] = static_cast<std::uint8_t>(t % 10);
    carry = t / 10;
  }
  return sum;  // the leading digit of the alignment takes the last carry
}

// a - b for a >= b.
TDigits SubtractMagnitudes(const TDigits& a, const TDigits& b) {
  TDigits difference(a.size());
  int borrow = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    int t = static_cast<int>(a[i]) - static_cast<int>(b[i]) - borrow;
    borrow = t < 0;
    if (t < 0) t += 10;
    difference[i] = static_cast<std::uint8_t>(t);
  }
  return difference;
}

}  // namespace

DecimalNumber DecimalNumber::Add(const DecimalNumber& a, const DecimalNumber& b,
                                 std::size_t scale) {
  scale = std::max({scale, a.scale_, b.scale_});
  const TAligned x = Align(a, b, scale);
  if (a.negative_ == b.negative_) {
    return DecimalNumber(a.negative_, x.integer_digits, scale, AddMagnitudes(x.a, x.b));
  }
  if (CompareSameLength(x.a, x.b) >= 0) {
    return DecimalNumber(a.negative_, x.integer_digits, scale, SubtractMagnitudes(x.a, x.b));
  }
  return DecimalNumber(b.negative_, x.integer_digits, scale, SubtractMagnitudes(x.b, x.a));
}

DecimalNumber DecimalNumber::Subtract(const DecimalNumber& a, const DecimalNumber& b,
                                      std::size_t scale) {
  DecimalNumber negated = b;
  if (!negated.IsZero()) negated.negative_ = !negated.negative_;
  return Add(a, negated, scale);
}

DecimalNumber DecimalNumber::Multiply(const DecimalNumber& a, const DecimalNumber& b,
                                      std::size_t scale) {
  const std::size_t la = a.digits_.size();
  const std::size_t lb = b.digits_.size();
  TDigits product(la + lb, 0);
  for (std::size_t i = la; i-- > 0;) {
    unsigned carry = 0;
    for (std::size_t j = lb; j-- > 0;) {
      const unsigned t = product[i + j + 1] + a.digits_[i] * b.digits_[j] + carry;
      product[i + j + 1] = static_cast<std::uint8_t>(t % 10);
      carry = t / 10;
    }
    product[i] = static_cast<std::uint8_t>(product[i] + carry);
  }
  const std::size_t full_scale = a.scale_ + b.scale_;
  const std::size_t kept = std::min(full_scale, std::max({scale, a.scale_, b.scale_}));
  product.resize(product.size() - (full_scale - kept));
  return DecimalNumber(a.negative_ != b.negative_, a.integer_digits_ + b.integer_digits_, kept,
                       std::move(product));
}

DecimalNumber DecimalNumber::Divide(const DecimalNumber& a, const DecimalNumber& b,
                                    std::size_t scale) {
  // |a / b| * 10^scale = A * 10^(scale_b + scale - scale_a) / B, with A and B
  // the digits of a and b read as integers. A negative power of ten drops
  // digits of A instead, which leaves the truncated quotient the same.
  TDigits dividend = a.digits_;
  const std::size_t up = b.scale_ + scale;
  if (up >= a.scale_) {
    dividend.resize(dividend.size() + (up - a.scale_), 0);
  } else {
    const std::size_t drop = a.scale_ - up;
    dividend.resize(drop >= dividend.size() ? 0 : dividend.size() - drop);
  }
  dividend = StripLeadingZeros(dividend);
  const TDigits divisor = StripLeadingZeros(b.digits_);
  if (divisor.empty()) throw std::domain_error("division by zero");

  TDigits quotient;
  if (dividend.empty() || CompareIntegers(dividend, divisor) < 0) {
    quotient.assign(1, 0);
  } else {
    quotient = LongDivide(dividend, divisor);
  }
  if (quotient.size() <= scale) quotient.insert(quotient.begin(), scale + 1 - quotient.size(), 0);
  const std::size_t integer_digits = quotient.size() - scale;
  return DecimalNumber(a.negative_ != b.negative_, integer_digits, scale, std::move(quotient));
}

int CopyText(std::string_view text, char* out, std::size_t size) {
  if (out == nullptr || text.size() >= size) return kTooSmall;
  std::memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  return kOk;
}

namespace {

enum class TOperation { Add, Subtract, Multiply, Divide };

int Operate(TOperation op, std::string_view a, std::string_view b, std::size_t scale, char* out,
            std::size_t size) {
  try {
    const DecimalNumber x = DecimalNumber::FromText(a);
    const DecimalNumber y = DecimalNumber::FromText(b);
    switch (op) {
      case TOperation::Add:
      case TOperation::Subtract: {
        if (!CanFit(std::max({scale, x.Scale(), y.Scale()}), size)) return kTooSmall;
        const DecimalNumber r = op == TOperation::Add ? DecimalNumber::Add(x, y, scale)
                                                      : DecimalNumber::Subtract(x, y, scale);
        return CopyText(r.ToText(), out, size);
      }
      case TOperation::Multiply:
        return CopyText(DecimalNumber::Multiply(x, y, scale).ToText(), out, size);
      case TOperation::Divide:
        if (y.IsZero()) return kDivisionByZero;
        // The quotient has exactly `scale` digits: refuse before computing
        // what cannot be written.
        if (!CanFit(scale, size)) return kTooSmall;
        return CopyText(DecimalNumber::Divide(x, y, scale).ToText(), out, size);
    }
    return kTooSmall;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (const std::exception&) {
    return kNoMemory;  // a length beyond what a vector can hold
  }
}

}  // namespace

int DecimalAdd(std::string_view a, std::string_view b, std::size_t scale, char* out,
               std::size_t size) {
  return Operate(TOperation::Add, a, b, scale, out, size);
}
int DecimalSubtract(std::string_view a, std::string_view b, std::size_t scale, char* out,
                    std::size_t size) {
  return Operate(TOperation::Subtract, a, b, scale, out, size);
}
int DecimalMultiply(std::string_view a, std::string_view b, std::size_t scale, char* out,
                    std::size_t size) {
  return Operate(TOperation::Multiply, a, b, scale, out, size);
}
int DecimalDivide(std::string_view a, std::string_view b, std::size_t scale, char* out,
                  std::size_t size) {
  return Operate(TOperation::Divide, a, b, scale, out, size);
}

int RoundAmountText(std::string_view text, std::size_t decimals, TRoundMode mode, char* out,
                    std::size_t size) {
  try {
    // Find the point: past the sign, the leading zeros and the integer digits.
    std::size_t p = 0;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
    while (p < text.size() && text[p] == '0') ++p;
    while (p < text.size() && IsDigit(text[p])) ++p;
    if (p >= text.size() || text[p] != '.') return CopyText(text, out, size);
    const std::size_t point = p;
    std::size_t fraction_digits = 0;
    for (std::size_t i = point + 1; i < text.size() && IsDigit(text[i]); ++i) ++fraction_digits;
    if (fraction_digits <= decimals) return CopyText(text, out, size);

    // Cut after the last kept digit; a point left at the end goes, and a
    // text reduced to nothing but a sign or the point is zero.
    const std::size_t cut_at = point + 1 + decimals;
    std::string cut(text.substr(0, cut_at));
    if (cut.back() == '.') cut.pop_back();
    const bool negative = !text.empty() && text[0] == '-';
    if (std::none_of(cut.begin(), cut.end(), IsDigit)) cut = negative ? "-0" : "0";

    bool away = false;
    switch (mode) {
      case TRoundMode::HalfUp:
        away = text[cut_at] >= '5';
        break;
      case TRoundMode::Truncate:
        away = false;
        break;
      case TRoundMode::Up:
        for (std::size_t i = cut_at; i < text.size() && IsDigit(text[i]); ++i) {
          if (text[i] != '0') away = true;
        }
        break;
    }
    if (away) {
      // One unit of the last kept place, added to a positive amount and
      // subtracted from a negative one.
      std::string unit = "1";
      if (decimals > 0) unit = "0." + std::string(decimals - 1, '0') + "1";
      const DecimalNumber a = DecimalNumber::FromText(cut);
      const DecimalNumber u = DecimalNumber::FromText(unit);
      const DecimalNumber r =
          negative ? DecimalNumber::Subtract(a, u, decimals) : DecimalNumber::Add(a, u, decimals);
      return CopyText(r.ToText(), out, size);
    }
    // "-0.004" cut to "-0.00" is zero: written without its sign.
    if (negative &&
        std::none_of(cut.begin(), cut.end(), [](char c) { return c >= '1' && c <= '9'; })) {
      cut.erase(0, 1);
    }
    return CopyText(cut, out, size);
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (const std::exception&) {
    return kNoMemory;
  }
}

}  // namespace ledgora::eurolib
