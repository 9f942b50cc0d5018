// A deliberately plain big-number helper for the tests: unsigned integers as
// strings of decimal digits, with the slowest obvious algorithms (division by
// repeated subtraction), so that it shares nothing with the library's
// arithmetic it checks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace ledgora::eurolib::testing {

// An unsigned integer: decimal digits, most significant first, no leading
// zeros; zero is "0".
using TBig = std::string;

inline TBig Trim(TBig n) {
  const std::size_t first = n.find_first_not_of('0');
  return first == std::string::npos ? "0" : n.substr(first);
}

inline int Compare(const TBig& a, const TBig& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

inline TBig Add(const TBig& a, const TBig& b) {
  std::string r;
  int carry = 0;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
    int s = carry;
    if (i < a.size()) s += a[a.size() - 1 - i] - '0';
    if (i < b.size()) s += b[b.size() - 1 - i] - '0';
    r.insert(r.begin(), static_cast<char>('0' + s % 10));
    carry = s / 10;
  }
  return Trim(r);
}

// a - b for a >= b.
inline TBig Sub(const TBig& a, const TBig& b) {
  std::string r = a;
  int borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    int d = (a[a.size() - 1 - i] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
    borrow = d < 0;
    if (d < 0) d += 10;
    r[r.size() - 1 - i] = static_cast<char>('0' + d);
  }
  return Trim(r);
}

inline TBig Shift(const TBig& a, std::size_t zeros) {
  return a == "0" ? a : a + std::string(zeros, '0');
}

inline TBig Mul(const TBig& a, const TBig& b) {
  TBig r = "0";
  for (std::size_t i = 0; i < b.size(); ++i) {
    TBig partial = "0";
    for (int k = 0; k < b[i] - '0'; ++k) partial = Add(partial, a);
    r = Add(Shift(r, 1), partial);
  }
  return r;
}

// Quotient and remainder, a digit at a time by repeated subtraction.
inline std::pair<TBig, TBig> DivMod(const TBig& a, const TBig& b) {
  TBig q, r = "0";
  for (char c : a) {
    r = Trim(r + c);
    int digit = 0;
    while (Compare(r, b) >= 0) {
      r = Sub(r, b);
      ++digit;
    }
    q += static_cast<char>('0' + digit);
  }
  return {Trim(q), r};
}

// a / b rounded half away from zero (a, b magnitudes).
inline TBig DivRounded(const TBig& a, const TBig& b) {
  auto [q, r] = DivMod(a, b);
  if (Compare(Add(r, r), b) >= 0) q = Add(q, "1");
  return q;
}

// A signed decimal number: the magnitude as an integer and its scale.
struct TExact {
  bool negative = false;
  TBig digits = "0";
  std::size_t scale = 0;
};

// Reads a well-formed amount text ("-12.340", "+7", "0.5").
inline TExact ParseExact(std::string_view text) {
  TExact e;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    e.negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  std::string digits(text.substr(0, point));
  if (point != std::string_view::npos) {
    digits += text.substr(point + 1);
    e.scale = text.size() - point - 1;
  }
  e.digits = Trim(digits);
  if (e.digits == "0") e.negative = false;
  return e;
}

// The magnitude written with exactly `scale` fraction digits (scale >= the
// number's own scale).
inline TBig AtScale(const TExact& e, std::size_t scale) {
  return Shift(e.digits, scale - e.scale);
}

}  // namespace ledgora::eurolib::testing
