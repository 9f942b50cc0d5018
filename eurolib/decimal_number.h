// DecimalNumber: the currency library's exact decimal number, and the text
// operations the conversions are made of.
//
// A number is a sign, its integer digits (at least one) and its fraction
// digits (the scale), one decimal digit per byte, most significant first.
// Zero is always positive; leading zero integer digits are removed after
// every operation (one zero stays below 1). A zero keeps its scale: the
// quotient 0 / 6.55957 with scale 3 is written "0.000".
//
// Every operation reads its operands from text and writes its result as text
// into a caller's buffer; the digits live on the heap for one call only. The
// operations never throw and answer with the library's codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledgora::eurolib {

// The codes of the library's operations.
inline constexpr int kOk = 0;
inline constexpr int kNoMemory = 1;
inline constexpr int kTooSmall = 2;
inline constexpr int kDivisionByZero = 3;

class DecimalNumber {
 public:
  DecimalNumber() : digits_{0} {}

  // An amount text: optional "+" or "-", digits, optionally "." and digits.
  static bool IsAmountText(std::string_view text);
  // Reads an amount text; any other text is zero (scale 0). May throw
  // std::bad_alloc.
  static DecimalNumber FromText(std::string_view text);
  std::string ToText() const;

  bool IsNegative() const { return negative_; }
  bool IsZero() const;
  std::size_t IntegerDigits() const { return integer_digits_; }
  std::size_t Scale() const { return scale_; }
  const std::vector<std::uint8_t>& Digits() const { return digits_; }

  // Exact sum and difference; the scale is the larger of the two scales, or
  // `scale` if larger.
  static DecimalNumber Add(const DecimalNumber& a, const DecimalNumber& b, std::size_t scale);
  static DecimalNumber Subtract(const DecimalNumber& a, const DecimalNumber& b, std::size_t scale);
  // Keeps min(scale_a + scale_b, max(scale, scale_a, scale_b)) fraction
  // digits, the others dropped (towards zero).
  static DecimalNumber Multiply(const DecimalNumber& a, const DecimalNumber& b, std::size_t scale);
  // Exactly `scale` fraction digits, the others dropped (towards zero).
  // The divisor must not be zero.
  static DecimalNumber Divide(const DecimalNumber& a, const DecimalNumber& b, std::size_t scale);

 private:
  DecimalNumber(bool negative, std::size_t integer_digits, std::size_t scale,
                std::vector<std::uint8_t> digits);
  // Removes leading zero integer digits and makes a zero positive.
  void Normalise();

  bool negative_ = false;
  std::size_t integer_digits_ = 1;
  std::size_t scale_ = 0;
  std::vector<std::uint8_t> digits_;
};

// The text operations: operands are amount texts, the result is written into
// out (size bytes, terminator included). kTooSmall when it does not fit (the
// buffer is then left as it was), kNoMemory when memory runs out,
// kDivisionByZero for a zero divisor.
int DecimalAdd(std::string_view a, std::string_view b, std::size_t scale, char* out,
               std::size_t size);
int DecimalSubtract(std::string_view a, std::string_view b, std::size_t scale, char* out,
                    std::size_t size);
int DecimalMultiply(std::string_view a, std::string_view b, std::size_t scale, char* out,
                    std::size_t size);
int DecimalDivide(std::string_view a, std::string_view b, std::size_t scale, char* out,
                  std::size_t size);

enum class TRoundMode {
  HalfUp,    // half away from zero: the first digit cut off is 5 or more
  Truncate,  // the digits beyond are dropped
  Up,        // away from zero whenever a digit cut off is not 0
};

// Rounds an amount text to `decimals` fraction digits. A text with no more
// fraction digits is copied unchanged (never padded). A rounded result that
// is zero is written without its sign. kTooSmall when the result does not fit.
int RoundAmountText(std::string_view text, std::size_t decimals, TRoundMode mode, char* out,
                    std::size_t size);

// Copies a text into out when it fits with its terminator (kOk), else
// kTooSmall and out untouched.
int CopyText(std::string_view text, char* out, std::size_t size);

}  // namespace ledgora::eurolib
