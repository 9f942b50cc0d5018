// Fuzz target: the mask matcher, the validators built on it and the amount
// readers and writers, on any byte string.
//
// Input: one byte of switches, then the mask up to the first NUL byte, then
// the text. Besides "no crash, no sanitizer report", it checks properties a
// fault would break:
//   - a refused text is left as it was; a match that is not an error (on a
//     text without spaces) stores a text that matches again with the same
//     result and stays as it is;
//   - the readers never produce an infinite or NaN amount;
//   - every writer fits kAmountBufferSize, and the display and American forms
//     read back to the amount within half a cent.
//
// Seed corpus: foundation/testdata/fuzz/mask/.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "foundation/amount.h"
#include "foundation/amount_validator.h"
#include "foundation/charset_validator.h"
#include "foundation/date_validator.h"
#include "foundation/mask.h"
#include "foundation/mask_validator.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void FuzzMask(std::string_view mask, std::string_view input, bool complete) {
  std::string text(input);
  const ledgora::TMatchResult r = ledgora::MatchMask(mask, text, complete);
  Check(static_cast<int>(r) >= 0 && static_cast<int>(r) <= 4);
  Check((r == ledgora::TMatchResult::SyntaxError) == !ledgora::IsWellFormedMask(mask));
  if (r == ledgora::TMatchResult::SyntaxError) return;
  if (r == ledgora::TMatchResult::Error) {
    Check(text == input);  // a refused text is left as it was
  } else if (input.find(' ') == std::string_view::npos && text.find(' ') == std::string::npos) {
    // Without spaces (which stand for any literal and may then let another
    // alternative win), storing only changes letter case, which no element
    // looks at: the stored text matches the same way and stays as it is.
    std::string again = text;
    Check(ledgora::MatchMask(mask, again, false) == r);
    Check(again == text);
  }

  ledgora::TMaskValidator mask_validator(mask);
  mask_validator.SetOption(ledgora::TValidator::kOptionCompleteLiterals);
  std::string typed(input);
  (void)mask_validator.CheckTyping(typed);
  (void)mask_validator.CheckFinal(input);
  (void)mask_validator.ErrorText();
  ledgora::TDateValidator date(mask, static_cast<unsigned>(input.size()) & 63u);
  (void)date.CheckFinal(input);
  ledgora::TAmountDecValidator amount(input.size() % 40, static_cast<unsigned>(mask.size() % 8),
                                      ledgora::TRequiredMode::Required, nullptr, mask);
  (void)amount.CheckFinal(input);
  (void)amount.ErrorText();
}

void FuzzAmountText(double v) {
  static char buf[ledgora::kAmountBufferSize];
  for (const char thousands : {' ', '\0', '\xA0', '.'}) {
    ledgora::FormatAmount(v, buf, thousands, ',');
    Check(std::strlen(buf) < sizeof buf);
    for (int d = -1; d <= ledgora::kMaxAmountDecimals + 1; d += 3) {
      ledgora::FormatAmountDec(v, buf, d, thousands, ',');
      Check(std::strlen(buf) < sizeof buf);
    }
  }
  ledgora::FormatAmountUS(v, buf);
  Check(std::strlen(buf) < sizeof buf);
  Check(std::strlen(ledgora::AmountText(v)) < ledgora::kAmountBufferSize);
  Check(std::strlen(ledgora::AmountTextDec(v, 7)) < ledgora::kAmountBufferSize);
  if (std::isfinite(v) && std::fabs(v) < 1e12) {
    const double tolerance = 0.005 + std::fabs(v) * 1e-15;
    Check(std::fabs(ledgora::ParseAmount(ledgora::FormatAmount(v)) - v) <= tolerance);
    Check(std::fabs(ledgora::ParseAmountUS(ledgora::FormatAmountUS(v)) - v) <= tolerance);
  }
}

void FuzzReaders(std::string_view text) {
  for (const double v :
       {ledgora::ParseAmount(text), ledgora::ParseAmountUS(text), ledgora::ParseAmountAuto(text)}) {
    Check(std::isfinite(v));
    FuzzAmountText(v);
  }
  ledgora::TCharSetValidator set(text);
  (void)set.AllInSet(text);
  std::string copy(text);
  (void)ledgora::CommaToDot(copy);
  (void)ledgora::DotToComma(copy);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  ledgora::ResetAmountAutoSeparators();
  const std::uint8_t switches = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t nul = rest.find('\0');
  const std::string_view mask = rest.substr(0, nul);
  const std::string_view text =
      nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);

  FuzzMask(mask, text, (switches & 1) != 0);
  FuzzReaders(text);
  FuzzReaders(mask);
  if (rest.size() >= sizeof(double)) {
    double v = 0;
    std::memcpy(&v, rest.data(), sizeof v);
    FuzzAmountText(v);
  }
  return 0;
}
