#include "operations/counter_values.h"

#include <cstring>

#include "eurolib/orveuro32.h"
#include "foundation/amount.h"
#include "foundation/nocase.h"
#include "storage/account_record.h"
#include "storage/database.h"
#include "storage/operation_record.h"

namespace ledgora {
namespace {

constexpr std::string_view kEuro = "EUR";
constexpr std::string_view kFranc = "FRF";

// The library reads NUL-terminated codes; three letters and the terminator.
std::array<char, 8> CodeText(std::string_view code) {
  std::array<char, 8> text{};
  std::memcpy(text.data(), code.data(), std::min<std::size_t>(code.size(), text.size() - 1));
  return text;
}

}  // namespace

bool IsEuroCompatible(std::string_view currency) {
  if (EqualsNoCase(currency, kEuro)) return true;
  return EstDansCercleEuro(CodeText(currency).data()) == 1;
}

std::string_view CounterValueCurrency(std::string_view account_currency) {
  if (EqualsNoCase(account_currency, kEuro)) return kFranc;
  if (EstDansCercleEuro(CodeText(account_currency).data()) == 1) return kEuro;
  return {};
}

std::optional<double> ConvertAmount(double amount, std::string_view from, std::string_view to) {
  double result = 0;
  const int code =
      euro_Conversion(amount, 2, CodeText(from).data(), result, CodeText(to).data(), 2);
  if (code != 0) return std::nullopt;
  return result;
}

double ComputeCounterValue(const TAccountRecord& account, double amount,
                           std::string_view source_amount) {
  const std::string_view target = CounterValueCurrency(account.currency);
  if (target.empty() || amount == 0) return 0;
  if (source_amount.size() >= target.size() && EndsWithNoCase(source_amount, target)) {
    // "12,50 FRF": the figure is the text without its last four characters.
    const std::size_t cut = source_amount.size() >= 4 ? source_amount.size() - 4 : 0;
    return ParseAmount(source_amount.substr(0, cut));
  }
  const double shown = account.account_type == kCardAccount ? -amount : amount;
  return ConvertAmount(shown, account.currency, target).value_or(0);
}

std::array<char, 4> TCounterValues::CurrencyKey(std::string_view currency) {
  std::array<char, 4> key{};
  for (std::size_t i = 0; i < 3 && i < currency.size(); ++i) {
    const char c = currency[i];
    key[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return key;
}

double TCounterValues::Of(const TAccountRecord& account, const TOperationRecord& op) {
  const std::array<char, 4> currency = CurrencyKey(account.currency);
  const bool card = account.account_type == kCardAccount;
  auto [it, inserted] = entries_.try_emplace(op.id);
  TEntry& e = it->second;
  // A NaN amount (a damaged record) never compares equal: it is simply
  // computed each time, to 0.
  if (!inserted && e.amount == op.amount && e.card == card && e.currency == currency &&
      e.source == op.source_amount) {
    return e.value;
  }
  e.amount = op.amount;
  e.card = card;
  e.currency = currency;
  e.source = op.source_amount;
  e.value = ComputeCounterValue(account, op.amount, op.source_amount);
  ++computations_;
  return e.value;
}

void TCounterValues::RefreshAll(const TDatabase& db) {
  entries_.clear();
  for (const TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    if (CounterValueCurrency(account.currency).empty()) continue;
    for (const TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      Of(account, op);
    }
  }
}

}  // namespace ledgora
