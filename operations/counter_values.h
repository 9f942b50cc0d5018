// Counter-values: an amount shown in the other currency of the franc/euro
// pair, always computed by the currency library (libOrvEuro32).
//
// An account has a counter-value currency when its own currency is "EUR"
// (then "FRF") or a legacy currency of the euro zone (then "EUR"); other
// accounts have none. The counter-value of an operation is 0 for a zero
// amount; when the operation's source-amount text ends with the
// counter-value currency code, it is the figure before that code; otherwise
// it is the amount (negated in a card account, whose column shows spending as
// positive figures) converted by the library with two decimals in and out.
// A conversion the library refuses gives 0, without a message.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ledgora {

class TAccountRecord;
class TDatabase;
class TOperationRecord;

// "EUR" or one of the legacy currencies of the euro zone (asked of the
// library); codes compare without regard to case.
bool IsEuroCompatible(std::string_view currency);

// "FRF" for "EUR", "EUR" for a legacy currency, empty for any other code.
std::string_view CounterValueCurrency(std::string_view account_currency);

// The library's double conversion with two decimals in both integer
// arguments; none when it returns a code other than 0.
std::optional<double> ConvertAmount(double amount, std::string_view from, std::string_view to);

// The counter-value rule above for an amount of the account (0 when the
// account has no counter-value currency).
double ComputeCounterValue(const TAccountRecord& account, double amount,
                           std::string_view source_amount);

// The counter-value kept with each operation. An entry remembers the amount,
// the source-amount text and the account's currency and card type it was
// computed from, and is computed again as soon as one of them differs: so it
// follows every creation and every change of amount without being told.
class TCounterValues {
 public:
  // The counter-value of op, which belongs to account.
  double Of(const TAccountRecord& account, const TOperationRecord& op);
  // Computes the entries of every operation of the book (after opening).
  void RefreshAll(const TDatabase& db);
  void Forget(std::uint32_t operation_id) { entries_.erase(operation_id); }
  void Clear() { entries_.clear(); }
  std::size_t Size() const { return entries_.size(); }
  // How many conversions were asked of the library since construction.
  std::uint64_t Computations() const { return computations_; }

 private:
  struct TEntry {
    double amount = 0;
    double value = 0;
    std::string source;
    std::array<char, 4> currency{};
    bool card = false;
  };
  static std::array<char, 4> CurrencyKey(std::string_view currency);

  std::unordered_map<std::uint32_t, TEntry> entries_;
  std::uint64_t computations_ = 0;
};

}  // namespace ledgora
