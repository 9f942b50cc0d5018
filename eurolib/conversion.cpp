#include "eurolib/conversion.h"

#include <charconv>
#include <string>

#include "eurolib/currency_table.h"
#include "eurolib/decimal_number.h"
#include "foundation/kdate.h"

namespace ledgora::eurolib {

namespace {

// The amount text of a double overload is written into a buffer of its own;
// beyond this many decimals no result could be written into the 51-byte
// buffer those overloads use, so the text is not formed at all.
constexpr int kMaxDoubleDecimals = 1000;
constexpr std::size_t kDoubleResultSize = 51;
constexpr std::size_t kDoubleDifferenceSize = 21;
// The code of a same-currency conversion whose amount text alone does not fit.
constexpr int kAmountDoesNotFit = 3;

// The parity of a code valid today, or the lookup's code.
int ParityOf(std::string_view code, const KDate& today, std::string_view& parity) {
  const EuroCurrency* row = nullptr;
  const int code_found = CurrencyTable().FindValid(code, today, &row);
  if (code_found != kFound) return code_found;
  parity = row->parity;
  return kOk;
}

int RoundInPlace(char* out, std::size_t size, std::size_t decimals) {
  const std::string text(out);
  return RoundAmountText(text, decimals, TRoundMode::HalfUp, out, size);
}

std::string AmountTextOf(double amount, int decimals) {
  std::string text(static_cast<std::size_t>(decimals) + 340, '\0');
  const auto r = std::to_chars(text.data(), text.data() + text.size(), amount,
                               std::chars_format::fixed, decimals);
  text.resize(r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - text.data()) : 0);
  return text;
}

double DoubleOf(const char* text) {
  if (*text == '+') ++text;
  double value = 0.0;
  const std::string_view s(text);
  std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
  return value;
}

}  // namespace

std::size_t DecimalsOfAmountText(std::string_view amount) {
  const std::size_t point = amount.find('.');
  if (point == std::string_view::npos || point + 1 >= amount.size()) return 0;
  const char next = amount[point + 1];
  if (next < '0' || next > '9') return 0;
  return amount.size() - point - 1;
}

int ConvertAmountText(std::string_view amount, std::string_view source, std::string_view target,
                      char* out, std::size_t size, std::size_t result_decimals,
                      std::size_t euro_decimals) {
  if (out == nullptr || size == 0) return kTooSmall;

  // Step 3: the same currency: the amount itself, rounded. A text that is not
  // an amount is zero here as everywhere else.
  if (SameCode(source, target)) {
    if (amount.size() >= size) return kAmountDoesNotFit;
    const int copied = CopyText(DecimalNumber::IsAmountText(amount) ? amount : "0", out, size);
    if (copied != kOk) return copied;
    return RoundInPlace(out, size, result_decimals);
  }

  // Step 4: both currencies valid today (the euro needs no row).
  const KDate today = KDate::Today();
  std::string_view source_parity, target_parity;
  if (!IsEuro(source)) {
    if (const int found = ParityOf(source, today, source_parity); found != kOk) return found;
  }
  if (!IsEuro(target)) {
    if (const int found = ParityOf(target, today, target_parity); found != kOk) return found;
  }

  // Step 5: through the euro, one digit beyond each place that is rounded.
  int code = kOk;
  if (IsEuro(source)) {
    code = DecimalMultiply(amount, target_parity, result_decimals + 1, out, size);
  } else if (IsEuro(target)) {
    code = DecimalDivide(amount, source_parity, result_decimals + 1, out, size);
  } else {
    code = DecimalDivide(amount, source_parity, euro_decimals + 1, out, size);
    if (code == kOk) code = RoundInPlace(out, size, euro_decimals);
    if (code == kOk) {
      const std::string euros(out);
      code = DecimalMultiply(euros, target_parity, result_decimals + 1, out, size);
    }
  }
  if (code != kOk) return code;

  // Step 6.
  return RoundInPlace(out, size, result_decimals);
}

int Conversion(std::string_view amount, std::string_view source, std::string_view target, char* out,
               std::size_t size, int result_decimals) {
  const std::size_t n = DecimalsOfAmountText(amount);
  const std::size_t r = result_decimals >= 0 ? static_cast<std::size_t>(result_decimals) : n;
  return ConvertAmountText(amount, source, target, out, size, r, n + 1);
}

int ConversionError(std::string_view amount, std::string_view source, std::string_view target,
                    char* out, std::size_t size, int result_decimals, char* difference,
                    std::size_t difference_size) {
  const std::size_t n = DecimalsOfAmountText(amount);
  const std::size_t r = result_decimals >= 0 ? static_cast<std::size_t>(result_decimals) : n;
  int code = ConvertAmountText(amount, source, target, out, size, r, n + 1);
  if (code != kOk) return code;
  const std::string converted(out);
  code = ConvertAmountText(converted, target, source, difference, difference_size, n, n + 1);
  if (code != kOk) return code;
  const std::string back(difference);
  return DecimalSubtract(amount, back, 0, difference, difference_size);
}

int ConversionOfDouble(double amount, int input_decimals, std::string_view source,
                       std::string_view target, int result_decimals, double& result) {
  const int k = input_decimals > 0 ? input_decimals : 2;
  if (k > kMaxDoubleDecimals) return kTooSmall;
  const std::string text = AmountTextOf(amount, k);
  char out[kDoubleResultSize];
  const int code = Conversion(text, source, target, out, sizeof out, result_decimals);
  if (code == kOk) result = DoubleOf(out);
  return code;
}

int ConversionErrorOfDouble(double amount, int input_decimals, std::string_view source,
                            std::string_view target, int result_decimals, double& result,
                            double& difference) {
  const int k = input_decimals > 0 ? input_decimals : 2;
  if (k > kMaxDoubleDecimals) return kTooSmall;
  const std::string text = AmountTextOf(amount, k);
  char out[kDoubleResultSize];
  char diff[kDoubleDifferenceSize];
  const int code =
      ConversionError(text, source, target, out, sizeof out, result_decimals, diff, sizeof diff);
  if (code == kOk) {
    result = DoubleOf(out);
    difference = DoubleOf(diff);
  }
  return code;
}

}  // namespace ledgora::eurolib
